#include "model/study_session.h"

#include <algorithm>
#include <utility>

#include "events/event_line.h"
#include "platform/platform.h"
#include "timeline/point_display.h"
#include "timeline/point_filter.h"

namespace qev {

StudySession::StudySession(const ScreenLayout& layout, std::string dataDir, SteadyClock clock)
    : clock_(std::move(clock)), scale_(layout) {
  store_.SetDataDir(std::move(dataDir));
}

std::optional<Sjis> StudySession::EventLine(EventId id) const {
  if (id.slot < 0 || id.slot >= EventStore::kSlotCount) return std::nullopt;
  const FileSlot& slot = store_.slots[static_cast<std::size_t>(id.slot)];
  std::optional<std::size_t> i = slot.IndexOf(id);
  if (!i) return std::nullopt;
  return Sjis(slot.Line(*i));
}

std::optional<EventId> StudySession::SelectedEvent() const {
  const VisiblePoint* selected = visible_.Selected();
  if (selected == nullptr) return std::nullopt;
  return points_.points()[selected->pointIndex].id();
}

std::optional<std::size_t> StudySession::PointIndexOf(EventId id) const {
  const std::vector<TimelinePoint>& points = points_.points();
  auto it = std::find_if(points.begin(), points.end(),
                         [id](const TimelinePoint& p) { return p.id() == id; });
  if (it == points.end()) return std::nullopt;
  return static_cast<std::size_t>(it - points.begin());
}

EventPlace StudySession::PlaceOffLine(EventId id) const {
  if (!EventLine(id)) return EventPlace::kNoSuchEvent;
  const FileSlot& slot = store_.slots[static_cast<std::size_t>(id.slot)];
  if (slot.loaded != 1) return EventPlace::kNoSuchEvent;
  if (slot.on != 1) return EventPlace::kSlotOff;
  return EventPlace::kFilteredOut;
}

EventOutcome StudySession::SelectEvent(EventId id) {
  std::optional<std::size_t> index = PointIndexOf(id);
  if (!index) return {PlaceOffLine(id), id, {}};
  const TimelinePoint& point = points_.points()[*index];
  Changes changes{.points = true, .selection = true};
  const int width = scale_.drawAreaWidth();
  const int x = point.StartX(scale_.originX());
  if (x < 0 || x > width) {
    // The era line where the point comes to the middle; the scroll bar
    // moves in steps and ends where it ends, beyond which the line is put
    // there directly.
    const int origin = width / 2 - (point.bc ? -point.offset1 : point.offset1);
    ScrollTo(TimelineScale::ThumbForOriginX(origin));
    const int shown = point.StartX(scale_.originX());
    if (shown < 0 || shown > width) scale_.SetOriginX(origin);
    changes |= Scrolled();
  }
  RebuildVisiblePoints();
  const std::vector<VisiblePoint>& entries = visible_.entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].pointIndex == *index) visible_.SetSelectedIndex(static_cast<int>(i));
  }
  return {EventPlace::kSelected, id, changes};
}

void StudySession::FollowLine(LineMove move, int k, std::size_t index) {
  const FileSlot& slot = store_.slots[static_cast<std::size_t>(k)];
  // The point list holds the loaded, switched-on slots only.
  if (!slot.loaded || !slot.on) return;
  const auto offset = [this](int year) { return scale_.YearToOffset(year); };
  const std::string_view line = slot.Line(index);
  switch (move) {
    case LineMove::kReplaced:
      points_.ReplaceLine(k, slot, index, PassesFilter(settings_, line), offset);
      break;
    case LineMove::kInserted:
      points_.InsertLine(k, slot, index, PassesFilter(settings_, line), offset);
      break;
    case LineMove::kRemoved:
      points_.RemoveLine(k, slot, index, offset);
      break;
  }
}

std::optional<EventId> StudySession::NeighbourOf(EventId id) const {
  std::optional<EventId> neighbour = SelectedEvent();
  if (std::optional<std::size_t> i = PointIndexOf(id)) {
    const std::vector<TimelinePoint>& points = points_.points();
    if (*i + 1 < points.size()) {
      neighbour = points[*i + 1].id();
    } else if (*i > 0) {
      neighbour = points[*i - 1].id();
    } else {
      neighbour.reset();
    }
  }
  return neighbour;
}

EventOutcome StudySession::Reselect(EventId id) {
  EventOutcome out = SelectEvent(id);
  if (!out.selected()) RebuildVisiblePoints();
  out.changes.points = true;
  out.changes.selection = true;
  return out;
}

bool StudySession::WriteLine(EventId id, Sjis line) {
  return history_.Replace(store_, id, std::move(line));
}

EventOutcome StudySession::ReplaceEvent(EventId id, Sjis line) {
  const std::optional<std::size_t> index = IndexOf(id);
  if (!index || !WriteLine(id, std::move(line))) return {EventPlace::kNoSuchEvent, id, {}};
  FollowLine(LineMove::kReplaced, id.slot, *index);
  return Reselect(id);
}

EventOutcome StudySession::InsertEvent(int k, std::size_t index, Sjis line) {
  if (k < 0 || k >= EventStore::kSlotCount) return {};
  const EventId id = history_.Insert(store_, k, index, std::move(line));
  FollowLine(LineMove::kInserted, k, *IndexOf(id));
  return Reselect(id);
}

EventOutcome StudySession::RemoveEvent(EventId id) {
  const std::optional<std::size_t> index = IndexOf(id);
  if (!index) return {EventPlace::kNoSuchEvent, id, {}};
  // The point after it on the line takes the selection, else the one before;
  // an event off the line leaves the selection where it is.
  const std::optional<EventId> neighbour = NeighbourOf(id);
  history_.Remove(store_, id);
  FollowLine(LineMove::kRemoved, id.slot, *index);
  return Reselect(neighbour.value_or(EventId{}));
}

Changes StudySession::AfterHistory(const std::optional<EditCommand>& command, bool undone) {
  if (!command) return {};
  const EventId id = command->id;
  if (command->kind == EditKind::kReplace) {
    if (const std::optional<std::size_t> index = IndexOf(id)) {
      FollowLine(LineMove::kReplaced, id.slot, *index);
    }
    return Reselect(id).changes;
  }
  // An insert undone and a removal redone take the line out again; the
  // other two put it back at its place.
  const bool gone = (command->kind == EditKind::kInsert) == undone;
  if (!gone) {
    FollowLine(LineMove::kInserted, id.slot, command->index);
    return Reselect(id).changes;
  }
  const std::optional<EventId> neighbour = NeighbourOf(id);
  FollowLine(LineMove::kRemoved, id.slot, command->index);
  return Reselect(neighbour.value_or(EventId{})).changes;
}

Changes StudySession::Undo() {
  return AfterHistory(history_.Undo(store_), true);
}

Changes StudySession::Redo() {
  return AfterHistory(history_.Redo(store_), false);
}

std::optional<std::size_t> StudySession::IndexOf(EventId id) const {
  if (id.slot < 0 || id.slot >= EventStore::kSlotCount) return std::nullopt;
  return store_.slots[static_cast<std::size_t>(id.slot)].IndexOf(id);
}

Changes StudySession::Scrolled() {
  thumb_ = TimelineScale::ThumbForOriginX(scale_.originX());
  return {.scrolled = true};
}

Changes StudySession::AskAbout(EventId id, bool hidePlace) {
  asked_ = Asked{id, hidePlace, true};
  marks_ = {.ring = !hidePlace, .labels = {}};
  settings_.yearsHidden = true;
  EventOutcome outcome = SelectEvent(id);
  Changes changes = outcome.changes;
  changes.selection = true;
  changes.look = true;
  const std::optional<std::size_t> index = PointIndexOf(id);
  if (!hidePlace || !index) return changes;
  // Somewhere between 15 and 85 per cent of the width, so that where it
  // lies on the screen says nothing.
  const TimelinePoint& point = points_.points()[*index];
  const int width = scale_.drawAreaWidth();
  const auto percent = static_cast<int>(15 + (clock_() % 71 + 71) % 71);
  scale_.SetOriginX(width * percent / 100 - (point.bc ? -point.offset1 : point.offset1));
  changes |= Scrolled();
  changes |= SelectEvent(id).changes;
  return changes;
}

Changes StudySession::ShowAnswer(std::vector<QuestionMarks::Label> labels) {
  asked_.reset();
  settings_.yearsHidden = false;
  marks_ = {.ring = false, .labels = std::move(labels)};
  return {.look = true, .selection = true};
}

Changes StudySession::LeaveQuestion() {
  marks_ = {};
  if (asked_) asked_->open = false;
  return {.look = true, .selection = true};
}

Changes StudySession::HoldQuestion() {
  if (!asked_) return {};
  const std::optional<EventId> selected = SelectedEvent();
  if (selected == asked_->id) return {};
  if (!asked_->open) {
    asked_.reset();
    settings_.yearsHidden = false;
    return {.look = true, .selection = true};
  }
  const std::vector<VisiblePoint>& entries = visible_.entries();
  const std::optional<std::size_t> index = PointIndexOf(asked_->id);
  for (std::size_t i = 0; index && i < entries.size(); ++i) {
    if (entries[i].pointIndex != *index) continue;
    visible_.SetSelectedIndex(static_cast<int>(i));
    return {.selection = true};
  }
  if (asked_->hidePlace) return {};
  return SelectEvent(asked_->id).changes;
}

DisplaySettings StudySession::DrawnSettings() const {
  DisplaySettings drawn = settings_;
  if (placeHidden()) drawn.pointDisplayMode = PointDisplayMode::kHidden;
  return drawn;
}

Changes StudySession::Flip(DisplaySwitch which) {
  DisplaySettings& d = settings_;
  auto flip = [](int& flag) { flag = flag == 0 ? 1 : 0; };
  const Changes panels{.panels = true};
  switch (which) {
    case DisplaySwitch::kShowYear:
      flip(d.showYear);
      return panels;
    case DisplaySwitch::kShowImportance:
      flip(d.showImportance);
      d.importanceToPanel = d.showImportance;
      return panels;
    case DisplaySwitch::kShowMemorisation:
      flip(d.showMemorisation);
      d.memorisationToPanel = d.showMemorisation;
      return panels;
    case DisplaySwitch::kShowEventLeft:
      flip(d.showEventLeft);
      return panels;
    case DisplaySwitch::kShowEventRight:
      flip(d.showEventRight);
      return panels;
    case DisplaySwitch::kShowMemo1:
      flip(d.showMemo1);
      return panels;
    case DisplaySwitch::kShowMemo2:
      flip(d.showMemo2);
      return panels;
    case DisplaySwitch::kFilterPriority:
      flip(d.filterPriority);
      return Refresh();
    case DisplaySwitch::kYearDisplayMode:
      d.yearDisplayMode = d.yearDisplayMode == YearDisplayMode::kRange ? YearDisplayMode::kYear
                                                                       : YearDisplayMode::kRange;
      return {.look = true, .selection = true, .panels = true};
    case DisplaySwitch::kTextSize:
      d.textSize = d.textSize == TextSize::kSmall ? TextSize::kLarge : TextSize::kSmall;
      return {.controlPanel = true};
  }
  return {};
}

Changes StudySession::Step(SteppedSetting which, int step) {
  DisplaySettings& d = settings_;
  switch (which) {
    case SteppedSetting::kPointDisplayMode:
      d.pointDisplayMode = static_cast<PointDisplayMode>(
          (static_cast<int>(d.pointDisplayMode) + (step > 0 ? 1 : 2)) % 3);
      return {.look = true, .selection = true, .controlPanel = true};
    case SteppedSetting::kBrightness:
      if (step > 0) {
        d.brightness = d.brightness >= 5 ? 1 : d.brightness + 1;
      } else {
        d.brightness = d.brightness <= 1 ? 5 : d.brightness - 1;
      }
      break;
  }
  return {.look = true, .selection = true};
}

Changes StudySession::FlipFilter(Level kind, int level) {
  std::array<int, 6>& filter =
      kind == Level::kImportance ? settings_.importanceFilter : settings_.memorisationFilter;
  int& flag = filter.at(static_cast<std::size_t>(level));
  flag = flag == 0 ? 1 : 0;
  return Refresh();
}

Changes StudySession::FlipSlot(int k) {
  if (!store_.SwitchSlot(k)) return {};
  return Refresh();
}

Changes StudySession::Refresh() {
  RebuildPoints();
  RebuildVisiblePoints();
  Select(SelectionStep::kFirst);
  return {.refreshed = true};
}

Changes StudySession::ChangeRange(int direction) {
  thumb_ = scale_.ChangeRange(direction);
  PlacePoints();
  RebuildVisiblePoints();
  Select(SelectionStep::kFirst);
  return {.scrolled = true, .points = true, .selection = true};
}

Changes StudySession::ScrollLine(int pos, bool rebuild) {
  thumb_ = ScrollTo(pos);
  if (!rebuild) return {.scrolled = true};
  Changes changes = Scrolled();
  RebuildVisiblePoints();
  Select(SelectionStep::kFirst);
  changes.controlPanel = true;
  changes.selection = true;
  return changes;
}

Changes StudySession::Select(SelectionStep step) {
  const Changes selection{.selection = true};
  if (visible_.empty()) return selection;
  switch (step) {
    case SelectionStep::kFirst:
      visible_.SelectFirst();
      break;
    case SelectionStep::kLast:
      visible_.SelectLast();
      break;
    case SelectionStep::kPrevious:
      visible_.SelectPrevious();
      break;
    case SelectionStep::kNext:
      visible_.SelectNext();
      break;
    case SelectionStep::kRandom:
      visible_.SelectRandom(RandomIndex());
      break;
  }
  return selection;
}

Changes StudySession::SelectAt(int x) {
  if (!visible_.empty()) visible_.SelectAtX(x, scale_.layout());
  return {.selection = true};
}

Changes StudySession::StepLevelChange(Level kind, int step) {
  int& value = kind == Level::kImportance ? edit_.importanceChange : edit_.memorisationChange;
  value = StepLevel(value, step);
  ApplyLevelChange();
  RebuildVisiblePoints();
  return {.selection = true, .controlPanel = true, .lines = true};
}

Changes StudySession::LeaveContentEdit() {
  edit_.contentEditMode = false;
  edit_.editClickCount = 0;
  return {.panels = true};
}

Changes StudySession::CancelContentEdit() {
  if (!edit_.Cancel()) return {};
  return Refresh();
}

void StudySession::RebuildPoints() {
  points_.Rebuild(
      store_,
      [this](char importance, char memorisation) {
        return PassesFilter(settings_, importance, memorisation);
      },
      [this](int year) { return scale_.YearToOffset(year); });
}

void StudySession::RebuildVisiblePoints() {
  visible_.RebuildVisiblePoints(points_.points(), scale_.originX(), scale_.drawAreaWidth());
  if (visible_.empty()) return;
  randomIndex_.Reset(visible_.randomBound(), clock_());
}

void StudySession::PlacePoints() {
  points_.PlacePoints([this](int year) { return scale_.YearToOffset(year); });
}

int StudySession::ScrollTo(int pos) {
  scale_.ScrollTo(pos);
  savedScrollPos_ = scale_.scrollPos();
  return savedScrollPos_;
}

InfoPanelsContent StudySession::ComposeSelectedPanels() {
  const VisiblePoint* selected = visible_.Selected();
  InfoPanelsContent c =
      ComposeInfoPanels(PointDisplayLine(visible_, points_.points(), store_,
                                         static_cast<std::size_t>(visible_.selectedIndex())),
                        settings_, points_.KeyAt(selected->pointIndex, store_),
                        edit_.importanceChange, edit_.memorisationChange);
  selectedImportanceText_ = c.selectedImportanceText;
  selectedMemorisationText_ = c.selectedMemorisationText;
  edit_.importanceChange = c.importanceChange;
  edit_.memorisationChange = c.memorisationChange;
  selectedSlotDigit_ = c.selectedSlotDigit;
  return c;
}

std::optional<EventId> StudySession::SelectedLine() const {
  const VisiblePoint* selected = visible_.Selected();
  if (selected == nullptr) return std::nullopt;
  // A key whose slot and line cannot be read within its first bytes names
  // no line: its point is never edited.
  if (!LocateEventLine(points_.KeyAt(selected->pointIndex, store_))) return std::nullopt;
  const EventId id = points_.points()[selected->pointIndex].id();
  if (!EventLine(id)) return std::nullopt;
  return id;
}

StudySession::EditStart StudySession::BeginContentEdit() {
  editTarget_ = SelectedLine();
  if (!editTarget_) return {};
  Sjis text = EditPanelText(*EventLine(*editTarget_));
  // A field the panel cannot give back whole is not edited at all: "[実行]"
  // would have to cut it.
  const std::vector<Sjis> lines = SplitPanelLines(text);
  for (int i = 0; i < 3; ++i) {
    if (lines[static_cast<std::size_t>(i)].size() > kEditLineLimit) {
      editTarget_.reset();
      return {std::nullopt, EditedLine{{}, EditProblem::kFieldTooLong, i}};
    }
  }
  edit_.contentEditMode = true;
  return {std::move(text), std::nullopt};
}

std::optional<EditedLine> StudySession::ExecuteContentEdit(const Sjis& typed) {
  std::optional<Sjis> line = editTarget_ ? EventLine(*editTarget_) : std::nullopt;
  if (!line) return std::nullopt;
  EditedLine edited = RewriteEventLine(*line, SplitPanelLines(typed));
  if (!edited.ok()) return edited;
  edit_.contentEditMode = false;
  WriteLine(*editTarget_, edited.line);
  editTarget_.reset();
  // The line is shown again, the selection kept where it was.
  RebuildVisiblePoints();
  return edited;
}

void StudySession::ApplyLevelChange() {
  std::optional<EventId> id = SelectedLine();
  if (!id) return;
  std::optional<Sjis> line =
      WriteLevelDigits(*EventLine(*id), edit_.importanceChange, edit_.memorisationChange);
  if (line) WriteLine(*id, std::move(*line));
}

OperatingState StudySession::CurrentOperatingState() const {
  OperatingState state;
  state.display = settings_;
  state.rangeIndex = scale_.rangeIndex();
  state.savedScrollPos = savedScrollPos_;
  state.selectedIndex = visible_.selectedIndex();
  for (std::size_t k = 0; k < state.slots.size(); ++k) {
    const FileSlot& slot = store_.slots[k];
    state.slots[k] = {slot.baseName, slot.label, slot.loaded, slot.on};
  }
  return state;
}

void StudySession::ApplyOperatingState(const OperatingState& state) {
  settings_ = state.display;
  settings_.importanceToPanel = settings_.showImportance;
  settings_.memorisationToPanel = settings_.showMemorisation;
  for (std::size_t k = 0; k < state.slots.size(); ++k) {
    const OperatingState::Slot& slot = state.slots[k];
    store_.RestoreSlot(static_cast<int>(k), slot.baseName, slot.label, slot.loaded == 1,
                       slot.on == 1);
  }
  restoredSelectedIndex_ = state.selectedIndex;
  scale_.SetRange(state.rangeIndex);
  ScrollTo(state.savedScrollPos);
  Scrolled();
}

}  // namespace qev
