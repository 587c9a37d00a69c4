#include "view/lumovar_100_view.h"

#include <filesystem>
#include <functional>
#include <system_error>
#include <utility>

#include "panel/control_panel.h"
#include "state/clock.h"
#include "state/context_menu.h"
#include "state/operating_state.h"
#include "timeline/info_panels.h"
#include "timeline/point_display.h"
#include "timeline/point_filter.h"
#include "timeline/timeline_drawing.h"

namespace qev {
namespace {

constexpr std::size_t kPointCapacity = 10000;

}  // namespace

CLumovar_100View::CLumovar_100View(Platform& platform, ScreenLayout layout, std::string dataDir)
    : platform_(platform), layout_(layout), scale_(layout) {
  store_.SetDataDir(std::move(dataDir));
  pointDisplayList_.reserve(kPointCapacity + 3);
}

void CLumovar_100View::OnInitialUpdate() {
  platform_.SetScrollThumb(TimelineScale::kStartThumb);
  DrawTimeline();
  DrawControlPanel();
}

void CLumovar_100View::OnPaint() {
  if (firstPaint_) {
    firstPaint_ = false;
    DrawControlPanel();
    DrawTimeline();
    platform_.SetPanelText(InfoPanel::kLeft, {});
    platform_.SetPanelText(InfoPanel::kRight, {});

    std::vector<std::string> problems;
    std::error_code ec;
    if (!std::filesystem::is_directory(store_.dataDir(), ec)) {
      problems.push_back("データフォルダ「" + store_.dataDir().string() + "」がありません。");
    }
    FileResult state = LoadSlot(store_, EventStore::kStateEntry);
    if (state.status == FileStatus::kUnreadable) {
      problems.push_back(store_.BuildPath(store_.stateBaseName).string() + ": " + state.reason);
    }
    if (!store_.stateFileText.empty()) ApplyOperatingState();
    std::vector<std::string> unreadable = AutoLoadSlots();
    problems.insert(problems.end(), unreadable.begin(), unreadable.end());
    FullRefresh();
    visible_.SetSelectedIndex(restoredSelectedIndex_);
    ShowSelection();
    if (!problems.empty()) {
      std::string text = "読み込めないものがありました。\n";
      for (const std::string& p : problems) text += "\n" + p;
      platform_.ShowMessage(text);
    }
  }
  if (screenPage_ == 0) {
    DrawTimeline();
    DrawControlPanel();
    ShowSelection();
    if (stateDescriptionShown_ == 1) {
      platform_.SetPanelText(InfoPanel::kRight, savedStateDescription_);
    }
  }
  DrawControlPanel();
}

OperatingState CLumovar_100View::CurrentOperatingState() const {
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

void CLumovar_100View::ApplyOperatingState() {
  OperatingState state = ReadOperatingState(store_.stateFileText, CurrentOperatingState());
  settings_ = state.display;
  settings_.importanceToPanel = settings_.showImportance;
  settings_.memorisationToPanel = settings_.showMemorisation;
  for (std::size_t k = 0; k < state.slots.size(); ++k) {
    FileSlot& slot = store_.slots[k];
    slot.baseName = state.slots[k].baseName;
    slot.label = state.slots[k].label;
    slot.loaded = state.slots[k].loaded;
    slot.on = state.slots[k].on;
  }
  restoredSelectedIndex_ = state.selectedIndex;
  scale_.SetRange(state.rangeIndex);
  scale_.ScrollTo(state.savedScrollPos);
  savedScrollPos_ = scale_.scrollPos();
  DrawTimeline();
  platform_.SetScrollThumb(TimelineScale::ThumbForOriginX(scale_.originX()));
}

void CLumovar_100View::OnLButtonUp(int, int) {}
void CLumovar_100View::OnRButtonUp(int, int) {}
void CLumovar_100View::OnLButtonDown(int, int) {}
void CLumovar_100View::OnLButtonDblClk(int, int) {}

void CLumovar_100View::ShowContextMenu(int x, int y) {
  std::optional<int> k = SlotLabelAt(layout_, x, y);
  if (!k) return;
  stateDescriptionShown_ = 0;
  CancelContentEdit();
  menuTarget_ = kFirstSlotTarget + *k;
  bool loaded = store_.slots[static_cast<std::size_t>(*k)].loaded == 1;
  int command = platform_.PopupMenu(SlotMenu(loaded), x, y);
  if (command != 0) OnCommand(command);
}

void CLumovar_100View::ScrollTimeline(ScrollCode code, int thumbPos) {
  stateDescriptionShown_ = 0;
  bool fullRefresh = true;
  int pos = platform_.ScrollThumb();
  switch (code) {
    case ScrollCode::kLineLeft:
      pos -= 1;
      break;
    case ScrollCode::kLineRight:
      pos += 1;
      break;
    case ScrollCode::kPageLeft:
      pos -= 10;
      break;
    case ScrollCode::kPageRight:
      pos += 10;
      break;
    case ScrollCode::kThumbPosition:
      pos = thumbPos;
      break;
    case ScrollCode::kThumbTrack:
      pos = thumbPos;
      fullRefresh = false;
      break;
    case ScrollCode::kLeft:
      pos = 0;
      break;
    case ScrollCode::kRight:
      pos = TimelineScale::kScrollMax;
      break;
    case ScrollCode::kEndScroll:
      break;
  }
  scale_.ScrollTo(pos);
  pos = scale_.scrollPos();
  savedScrollPos_ = pos;
  platform_.SetScrollThumb(pos);
  DrawTimeline();
  if (!fullRefresh) return;
  platform_.SetScrollThumb(TimelineScale::ThumbForOriginX(scale_.originX()));
  RebuildVisiblePoints();
  DrawControlPanel();
  visible_.SelectFirst();
  ShowSelection();
}

void CLumovar_100View::OnClockTick() {
  clockText_ = FormatClockText(platform_.Now());
  DrawClockTick(platform_.ViewCanvas(), layout_, settings_.textSize, clockText_, stopwatch_,
                platform_.SteadyMilliseconds());
}

bool CLumovar_100View::QueryClose() {
  for (int k = 0; k < EventStore::kSlotCount; ++k) {
    if (!ConfirmDiscard(k)) return false;
  }
  return true;
}

void CLumovar_100View::FullRefresh() {
  stateDescriptionShown_ = 0;
  points_.Rebuild(
      store_, [this](std::string_view line) { return PassesFilter(settings_, line); },
      [this](int year) { return scale_.YearToOffset(year); });
  RebuildVisiblePoints();
  DrawControlPanel();
  visible_.SelectFirst();
  ShowSelection();
}

void CLumovar_100View::ShowSelection() {
  const VisiblePoint* selected = visible_.Selected();
  if (selected == nullptr) {
    ClearInfoPanels();
    return;
  }
  DrawTimeline();
  DrawSelectionMarks(scale_, settings_, *selected, platform_.DrawAreaCanvas());
  FillInfoPanels();
}

void CLumovar_100View::RebuildVisiblePoints() {
  visible_.RebuildVisiblePoints(points_.points(), scale_.originX(), scale_.drawAreaWidth());
  pointDisplayList_.clear();
  if (visible_.empty()) return;
  randomIndex_.Reset(visible_.randomBound(), platform_.SteadyMilliseconds());
  for (const VisiblePoint& v : visible_.entries()) {
    const TimelinePoint& p = points_.points()[v.pointIndex];
    const FileSlot& slot = store_.slots[static_cast<std::size_t>(p.slot)];
    // A line the slot no longer holds shows as an empty entry, keeping the
    // display list aligned with the visible points.
    pointDisplayList_.push_back(static_cast<std::size_t>(p.line) < slot.Count()
                                    ? FormatPointLine(slot.Line(static_cast<std::size_t>(p.line)))
                                    : Sjis());
  }
  pointDisplayList_.resize(pointDisplayList_.size() + 3);
}

Sjis CLumovar_100View::FormatPointLine(std::string_view line) {
  return qev::FormatPointLine(line);
}

void CLumovar_100View::Select(const std::function<void(VisiblePointList&)>& move) {
  if (visible_.empty()) return;
  move(visible_);
  ShowSelection();
}

void CLumovar_100View::SelectFirst() {
  Select(&VisiblePointList::SelectFirst);
}
void CLumovar_100View::SelectLast() {
  Select(&VisiblePointList::SelectLast);
}
void CLumovar_100View::SelectPrevious() {
  Select(&VisiblePointList::SelectPrevious);
}
void CLumovar_100View::SelectNext() {
  Select(&VisiblePointList::SelectNext);
}

void CLumovar_100View::SelectAtX(int x) {
  Select([&](VisiblePointList& v) { v.SelectAtX(x, layout_); });
}

void CLumovar_100View::SelectRandom() {
  int index = randomIndex();
  Select([index](VisiblePointList& v) { v.SelectRandom(index); });
}

int CLumovar_100View::randomIndex() const {
  return randomIndex_.Value(platform_.SteadyMilliseconds());
}

void CLumovar_100View::FillInfoPanels() {
  const VisiblePoint* selected = visible_.Selected();
  if (selected == nullptr) {
    ClearInfoPanels();
    DrawControlPanel();
    return;
  }
  InfoPanelsContent c = ComposeInfoPanels(
      pointDisplayList_[static_cast<std::size_t>(visible_.selectedIndex())], settings_,
      points_.keys()[selected->pointIndex], importanceChange_, memorisationChange_);
  platform_.SetPanelText(InfoPanel::kLeft, c.left);
  platform_.SetPanelText(InfoPanel::kRight, c.right);
  selectedImportanceText_ = std::move(c.selectedImportanceText);
  selectedMemorisationText_ = std::move(c.selectedMemorisationText);
  importanceChange_ = c.importanceChange;
  memorisationChange_ = c.memorisationChange;
  selectedSlotDigit_ = c.selectedSlotDigit;
  DrawControlPanel();
}

void CLumovar_100View::ClearInfoPanels() {
  DrawTimeline();
  platform_.SetPanelText(InfoPanel::kLeft, {});
  platform_.SetPanelText(InfoPanel::kRight, {});
}

void CLumovar_100View::DrawTimeline() {
  screenPage_ = 0;
  drawAreaContent_ = 0;
  qev::DrawTimeline(scale_, settings_, points_.points(), platform_.DrawAreaCanvas(),
                    platform_.ViewCanvas());
}

void CLumovar_100View::DrawAllPoints() {
  qev::DrawAllPoints(scale_, points_.points(), platform_.DrawAreaCanvas());
}

void CLumovar_100View::DrawControlPanel() {
  ControlPanelState s;
  s.layout = layout_;
  s.settings = settings_;
  s.rangeIndex = scale_.rangeIndex();
  for (std::size_t k = 0; k < s.slots.size(); ++k) {
    const FileSlot& slot = store_.slots[k];
    s.slots[k] = {slot.label, slot.loaded == 1, slot.on == 1, slot.changed == 1};
  }
  s.selectedImportanceText = selectedImportanceText_;
  s.selectedMemorisationText = selectedMemorisationText_;
  s.selectedSlotDigit = selectedSlotDigit_;
  s.visiblePointCount = visible_.size();
  s.contentEditMode = contentEditMode_;
  s.stateDescriptionShown = stateDescriptionShown_;
  Sjis clock = ClockText();
  s.clockText = clock;
  qev::DrawControlPanel(platform_.ViewCanvas(), s, stopwatch_, platform_.SteadyMilliseconds());
}

void CLumovar_100View::ChangeRange(int direction) {
  platform_.SetScrollThumb(scale_.ChangeRange(direction));
  DrawTimeline();
  points_.PlacePoints([this](int year) { return scale_.YearToOffset(year); });
  RebuildVisiblePoints();
  visible_.SelectFirst();
  ShowSelection();
  DrawControlPanel();
}

Sjis CLumovar_100View::ClockText() {
  return FormatClockText(platform_.Now());
}

void CLumovar_100View::OnCommand(int command) {
  switch (command) {
    case kCommandReadFile:
      ReadSlotCommand();
      break;
    case kCommandSave:
      SaveCommand();
      break;
    case kCommandEraseFile:
      EraseSlotCommand();
      break;
    default:
      break;
  }
}

FileSlot* CLumovar_100View::TargetSlot() {
  int k = menuTarget_ - kFirstSlotTarget;
  if (k < 0 || k >= EventStore::kSlotCount) return nullptr;
  return &store_.slots[static_cast<std::size_t>(k)];
}

void CLumovar_100View::ReadSlotCommand() {
  FileSlot* slot = TargetSlot();
  if (slot == nullptr) return;
  stateDescriptionShown_ = 0;
  CancelContentEdit();
  platform_.SetPanelText(InfoPanel::kLeft, {});
  platform_.SetPanelText(InfoPanel::kRight, {});
  std::filesystem::path path = store_.BuildPath(slot->baseName);
  store_.NoteDialogOpened();
  std::optional<std::string> picked = platform_.FileDialog(FileDialogKind::kOpen, path.string());
  if (!picked) return;
  DrawControlPanel();
  DrawTimeline();
  FileResult r = ReadFileFromDialog(store_, menuTarget_, *picked);
  if (!r.ok()) ReportFileProblem(r, *picked);
  FullRefresh();
}

void CLumovar_100View::SaveCommand() {
  CancelContentEdit();
  DrawControlPanel();
  SaveTarget();
}

bool CLumovar_100View::SaveTarget() {
  FileSlot* slot = TargetSlot();
  if (slot == nullptr && menuTarget_ != kStateTarget) return false;
  Cp932Encoding right = platform_.PanelText(InfoPanel::kRight);
  if (slot == nullptr) {
    if (!right.ok()) {
      platform_.ShowMessage("右表示欄の文字「" + right.unencodable +
                            "」はShift-JISで保存できません。動作状態を保存しませんでした。");
      return false;
    }
    savedStateDescription_ = right.bytes;
  }
  std::filesystem::path path = store_.BuildPath(slot ? slot->title : store_.stateBaseName);
  store_.NoteDialogOpened();
  std::optional<std::string> chosen = platform_.FileDialog(FileDialogKind::kSave, path.string());
  if (!chosen) return false;
  FileResult r = WriteTarget(store_, menuTarget_, *chosen, ClockText(), right.bytes);
  if (!r.ok()) {
    ReportFileProblem(r, *chosen);
    return false;
  }
  return true;
}

void CLumovar_100View::EraseSlotCommand() {
  int k = menuTarget_ - kFirstSlotTarget;
  FileSlot* slot = TargetSlot();
  if (slot == nullptr || !ConfirmDiscard(k)) return;
  stateDescriptionShown_ = 0;
  CancelContentEdit();
  DrawControlPanel();
  store_.ResetSlot(k);
  slot->loaded = 0;
  slot->on = 0;
  slot->label = EventStore::DefaultLabel(k);
  slot->baseName = EventStore::DefaultBaseName(k);
  slot->changed = 0;
  DrawControlPanel();
  DrawTimeline();
  FullRefresh();
}

bool CLumovar_100View::ConfirmDiscard(int k) {
  const FileSlot& slot = store_.slots[static_cast<std::size_t>(k)];
  if (slot.changed != 1) return true;
  switch (platform_.AskToSave("「" + DecodeCp932(slot.label) +
                              "」の変更は保存されていません。保存しますか?")) {
    case SaveAnswer::kDiscard:
      return true;
    case SaveAnswer::kCancel:
      return false;
    case SaveAnswer::kSave: {
      int target = menuTarget_;
      menuTarget_ = kFirstSlotTarget + k;
      bool saved = SaveTarget();
      menuTarget_ = target;
      return saved;
    }
  }
  return false;
}

std::vector<std::string> CLumovar_100View::AutoLoadSlots() {
  std::vector<std::string> unreadable;
  for (int k = 0; k < EventStore::kSlotCount; ++k) {
    const FileSlot& slot = store_.slots[static_cast<std::size_t>(k)];
    if (slot.loaded != 1) continue;
    FileResult r = LoadSlot(store_, k);
    if (r.status == FileStatus::kUnreadable) {
      unreadable.push_back(store_.BuildPath(slot.baseName).string() + ": " + r.reason);
    }
  }
  return unreadable;
}

void CLumovar_100View::ReportFileProblem(const FileResult& result,
                                         const std::filesystem::path& path) {
  switch (result.status) {
    case FileStatus::kOk:
      return;
    case FileStatus::kMissing:
      platform_.ShowMessage("ファイル「" + path.string() + "」がありません。");
      return;
    case FileStatus::kUnreadable:
      platform_.ShowMessage("ファイル「" + path.string() + "」を読み込めません: " + result.reason);
      return;
    case FileStatus::kUnencodableName:
      platform_.ShowMessage("ファイル名の文字「" + result.reason +
                            "」はShift-JISで表せないため、このファイルは使えません。");
      return;
    case FileStatus::kWriteFailed:
      platform_.ShowMessage("ファイル「" + path.string() + "」を保存できませんでした: " +
                            result.reason + "\n元のファイルはそのままです。");
      return;
  }
}

}  // namespace qev
