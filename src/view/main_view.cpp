#include "view/main_view.h"

#include <filesystem>
#include <functional>
#include <system_error>
#include <utility>

#include "help/function_diagram.h"
#include "help/help_pages.h"
#include "panel/control_panel.h"
#include "panel/panel_areas.h"
#include "state/clock.h"
#include "state/context_menu.h"
#include "state/operating_state.h"
#include "timeline/info_panels.h"
#include "timeline/point_display.h"
#include "timeline/point_filter.h"
#include "timeline/timeline_drawing.h"

namespace qev {

MainView::MainView(Platform& platform, ScreenLayout layout, std::string dataDir)
    : screen_(platform), layout_(layout), scale_(layout) {
  store_.SetDataDir(std::move(dataDir));
}

void MainView::OnInitialUpdate() {
  RedrawBatch::Scope scope(batch_);
  platform_.SetScrollThumb(TimelineScale::kStartThumb);
  DrawTimeline();
  DrawControlPanel();
}

void MainView::OnPaint() {
  RedrawBatch::Scope scope(batch_);
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
    std::vector<std::string> unreadable = files_.AutoLoadSlots();
    problems.insert(problems.end(), unreadable.begin(), unreadable.end());
    FullRefresh();
    visible_.SetSelectedIndex(restoredSelectedIndex_);
    ShowSelection();
    files_.ReportUnreadable(problems);
  }
  switch (screenPage_) {
    case ScreenPage::kMain:
      DrawTimeline();
      DrawControlPanel();
      ShowSelection();
      if (stateDescriptionShown_) platform_.SetPanelText(InfoPanel::kRight, savedStateDescription_);
      break;
    case ScreenPage::kDiagram:
      ShowDiagram();
      break;
    case ScreenPage::kHelp:
      ShowHelpPage(0);
      break;
  }
  DrawControlPanel();
}

OperatingState MainView::CurrentOperatingState() const {
  OperatingState state;
  state.display = settings_;
  state.rangeIndex = scale_.rangeIndex();
  state.savedScrollPos = savedScrollPos_;
  state.selectedIndex = visible_.selectedIndex();
  state.timeUnit = timeUnitIndex_ == kTimeUnitYear ? 1 : 0;
  for (std::size_t k = 0; k < state.slots.size(); ++k) {
    const FileSlot& slot = store_.slots[k];
    state.slots[k] = {slot.baseName, slot.label, slot.loaded, slot.on};
  }
  return state;
}

void MainView::ApplyOperatingState() {
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

void MainView::OnLButtonUp(int x, int y) {
  RedrawBatch::Scope scope(batch_);
  qev::OnLButtonUp(*this, x, y);
}
void MainView::OnRButtonUp(int x, int y) {
  RedrawBatch::Scope scope(batch_);
  qev::OnRButtonUp(*this, x, y);
}
void MainView::OnLButtonDown(int x, int y) {
  RedrawBatch::Scope scope(batch_);
  qev::OnLButtonDown(*this, x, y);
}
void MainView::OnLButtonDblClk(int x, int y) {
  RedrawBatch::Scope scope(batch_);
  qev::OnLButtonDblClk(*this, x, y);
}
void MainView::OnRButtonDblClk(int x, int y) {
  RedrawBatch::Scope scope(batch_);
  qev::OnRButtonDblClk(*this, x, y);
}

void MainView::ShowContextMenu(int x, int y) {
  RedrawBatch::Scope scope(batch_);
  MenuCommand command = MenuCommand::kNone;
  if (std::optional<int> k = SlotLabelAt(layout_, x, y)) {
    CloseStateText();
    CancelContentEdit();
    menuTarget_ = kFirstSlotTarget + *k;
    bool loaded = store_.slots[static_cast<std::size_t>(*k)].loaded == 1;
    command = platform_.PopupMenu(SlotMenu(loaded), x, y);
  } else if (stateDescriptionShown_ && StateLabelPressRect(layout_).Contains(x, y)) {
    menuTarget_ = kStateTarget;
    command = platform_.PopupMenu(StateMenu(), x, y);
  }
  if (command != MenuCommand::kNone) OnCommand(command);
}

void MainView::ScrollTimeline(ScrollCode code, int thumbPos) {
  RedrawBatch::Scope scope(batch_);
  CloseStateText();
  const ScrollStep step = NextScrollPos(code, platform_.ScrollThumb(), thumbPos);
  scale_.ScrollTo(step.pos);
  const int pos = scale_.scrollPos();
  savedScrollPos_ = pos;
  platform_.SetScrollThumb(pos);
  DrawTimeline();
  if (!step.fullRefresh) return;
  platform_.SetScrollThumb(TimelineScale::ThumbForOriginX(scale_.originX()));
  RebuildVisiblePoints();
  DrawControlPanel();
  visible_.SelectFirst();
  ShowSelection();
}

void MainView::OnClockTick() {
  clockText_ = FormatClockText(platform_.Now());
  DrawClockTick(platform_.ViewCanvas(), layout_, settings_.textSize, clockText_, stopwatch_,
                platform_.SteadyMilliseconds());
}

bool MainView::QueryClose() {
  for (int k = 0; k < EventStore::kSlotCount; ++k) {
    if (!files_.ConfirmDiscard(k)) return false;
  }
  return true;
}

void MainView::FullRefresh() {
  ++eventsVersion_;
  CloseStateText();
  points_.Rebuild(
      store_, [this](std::string_view line) { return PassesFilter(settings_, line); },
      [this](int year) { return scale_.YearToOffset(year); });
  RebuildVisiblePoints();
  DrawControlPanel();
  visible_.SelectFirst();
  ShowSelection();
}

void MainView::ShowSelection() {
  const VisiblePoint* selected = visible_.Selected();
  if (selected == nullptr) {
    ClearInfoPanels();
    return;
  }
  DrawTimeline();
  batch_.Draw(RedrawBatch::Region::kTimeline, false,
              [scale = scale_, settings = settings_, point = *selected](Platform& screen) {
                DrawSelectionMarks(scale, settings, point, screen.DrawAreaCanvas());
              });
  FillInfoPanels();
}

void MainView::RebuildVisiblePoints() {
  visible_.RebuildVisiblePoints(points_.points(), scale_.originX(), scale_.drawAreaWidth());
  if (visible_.empty()) return;
  randomIndex_.Reset(visible_.randomBound(), platform_.SteadyMilliseconds());
}

Sjis MainView::FormatPointLine(std::string_view line) {
  return qev::FormatPointLine(line);
}

void MainView::Select(const std::function<void(VisiblePointList&)>& move) {
  if (visible_.empty()) return;
  move(visible_);
  ShowSelection();
}

void MainView::SelectFirst() {
  Select(&VisiblePointList::SelectFirst);
}
void MainView::SelectLast() {
  Select(&VisiblePointList::SelectLast);
}
void MainView::SelectPrevious() {
  Select(&VisiblePointList::SelectPrevious);
}
void MainView::SelectNext() {
  Select(&VisiblePointList::SelectNext);
}

void MainView::SelectAtX(int x) {
  Select([&](VisiblePointList& v) { v.SelectAtX(x, layout_); });
}

void MainView::SelectRandom() {
  int index = randomIndex();
  Select([index](VisiblePointList& v) { v.SelectRandom(index); });
}

int MainView::randomIndex() {
  return randomIndex_.Value(platform_.SteadyMilliseconds());
}

void MainView::FillInfoPanels() {
  const VisiblePoint* selected = visible_.Selected();
  if (selected == nullptr) {
    ClearInfoPanels();
    DrawControlPanel();
    return;
  }
  InfoPanelsContent c =
      ComposeInfoPanels(PointDisplayLine(visible_, points_.points(), store_,
                                         static_cast<std::size_t>(visible_.selectedIndex())),
                        settings_, points_.keys()[selected->pointIndex], edit_.importanceChange,
                        edit_.memorisationChange);
  platform_.SetPanelText(InfoPanel::kLeft, c.left);
  // What the user is typing into the right panel stays until the edit ends.
  if (!edit_.editing()) platform_.SetPanelText(InfoPanel::kRight, c.right);
  selectedImportanceText_ = std::move(c.selectedImportanceText);
  selectedMemorisationText_ = std::move(c.selectedMemorisationText);
  edit_.importanceChange = c.importanceChange;
  edit_.memorisationChange = c.memorisationChange;
  selectedSlotDigit_ = c.selectedSlotDigit;
  DrawControlPanel();
}

void MainView::ClearInfoPanels() {
  DrawTimeline();
  platform_.SetPanelText(InfoPanel::kLeft, {});
  platform_.SetPanelText(InfoPanel::kRight, {});
}

void MainView::DrawTimeline() {
  screenPage_ = ScreenPage::kMain;
  drawAreaContent_ = DrawAreaContent::kTimeline;
  // Over a painted background nothing drawn before on the area shows.
  const bool covers = BackgroundGrey(settings_.brightness).has_value();
  batch_.Draw(
      RedrawBatch::Region::kTimeline, covers,
      [scale = scale_, settings = settings_, points = points_.sharedPoints()](Platform& screen) {
        qev::DrawTimeline(scale, settings, *points, screen.DrawAreaCanvas(), screen.ViewCanvas());
      });
}

void MainView::DrawAllPoints() {
  qev::DrawAllPoints(scale_, points_.points(), platform_.DrawAreaCanvas());
}

void MainView::DrawControlPanel() {
  // What the panel shows, copied as it is now, with its own copies of the
  // texts the state borrows.
  struct Panel {
    ControlPanelState state;
    std::array<Sjis, EventStore::kSlotCount> labels;
    Sjis importance;
    Sjis memorisation;
    Sjis clock;
    Stopwatch stopwatch;
    std::int64_t nowMs = 0;
  };
  auto p = std::make_shared<Panel>();
  ControlPanelState& s = p->state;
  s.layout = layout_;
  s.settings = settings_;
  s.rangeIndex = scale_.rangeIndex();
  for (std::size_t k = 0; k < s.slots.size(); ++k) {
    const FileSlot& slot = store_.slots[k];
    p->labels[k] = slot.label;
    s.slots[k] = {p->labels[k], slot.loaded == 1, slot.on == 1, slot.changed == 1};
  }
  p->importance = selectedImportanceText_;
  p->memorisation = selectedMemorisationText_;
  s.selectedImportanceText = p->importance;
  s.selectedMemorisationText = p->memorisation;
  s.selectedSlotDigit = selectedSlotDigit_;
  s.visiblePointCount = visible_.size();
  s.contentEditMode = edit_.editing();
  s.stateDescriptionShown = stateDescriptionShown_;
  p->clock = ClockText();
  s.clockText = p->clock;
  // The stopwatch is held at zero now, as the drawing would; the drawing
  // shows a copy, on which holding it again at the same time changes nothing.
  p->nowMs = platform_.SteadyMilliseconds();
  stopwatch_.HoldIdleAtZero(p->nowMs);
  p->stopwatch = stopwatch_;
  // The small font's redraw paints the whole panel first.
  const bool covers = settings_.textSize == 0;
  batch_.Draw(RedrawBatch::Region::kControlPanel, covers, [p](Platform& screen) {
    qev::DrawControlPanel(screen.ViewCanvas(), p->state, p->stopwatch, p->nowMs);
  });
}

void MainView::ChangeRange(int direction) {
  platform_.SetScrollThumb(scale_.ChangeRange(direction));
  DrawTimeline();
  points_.PlacePoints([this](int year) { return scale_.YearToOffset(year); });
  RebuildVisiblePoints();
  visible_.SelectFirst();
  ShowSelection();
  DrawControlPanel();
}

Sjis MainView::ClockText() {
  return FormatClockText(platform_.Now());
}

void MainView::OnCommand(MenuCommand command) {
  RedrawBatch::Scope scope(batch_);
  switch (command) {
    case MenuCommand::kReadFile:
      files_.ReadSlot(menuTarget_);
      break;
    case MenuCommand::kSave:
      files_.Save(menuTarget_);
      break;
    case MenuCommand::kEraseFile:
      files_.EraseSlot(menuTarget_);
      break;
    case MenuCommand::kNewFile:
      files_.CreateFile(menuTarget_);
      break;
    case MenuCommand::kRestoreState:
      RestoreOperatingState();
      break;
    default:
      break;
  }
}

void MainView::CancelContentEdit() {
  if (edit_.Cancel()) FullRefresh();
}

void MainView::ShowStateDescription() {
  stateDescriptionShown_ = true;
  savedStateDescription_ =
      ComposeStateText(CurrentOperatingState(), store_.stateTitle, ClockText());
  platform_.SetPanelText(InfoPanel::kRight, savedStateDescription_);
}

void MainView::StopwatchClick() {
  stopwatch_.StopwatchClick(platform_.SteadyMilliseconds());
}

void MainView::ShowHelpPage(int k) {
  DrawHelpPage(platform_.DrawAreaCanvas(), layout_, k);
  drawAreaContent_ = DrawAreaContent::kHelpPage;
}

void MainView::ShowDiagram() {
  DrawFunctionDiagram(platform_.DrawAreaCanvas(), layout_);
  drawAreaContent_ = DrawAreaContent::kDiagram;
}

void MainView::RestoreOperatingState() {
  RedrawBatch::Scope scope(batch_);
  DrawControlPanel();
  menuTarget_ = kStateTarget;
  // Every loaded slot is read again from its file: unsaved changes first.
  for (int k = 0; k < EventStore::kSlotCount; ++k) {
    if (!files_.ConfirmDiscard(k)) return;
  }
  platform_.SetPanelText(InfoPanel::kLeft, {});
  platform_.SetPanelText(InfoPanel::kRight, {});
  std::filesystem::path path = store_.BuildPath(store_.stateBaseName);
  store_.NoteDialogOpened();
  std::optional<std::string> picked = platform_.FileDialog(FileDialogKind::kOpen, path.string());
  if (picked) {
    FileResult r = ReadFileFromDialog(store_, kStateTarget, *picked);
    if (r.ok()) {
      ApplyOperatingState();
      files_.ReportUnreadable(files_.AutoLoadSlots());
    } else {
      files_.ReportFileProblem(r, *picked);
    }
  } else {
    DrawControlPanel();
    DrawTimeline();
  }
  FullRefresh();
  visible_.SetSelectedIndex(restoredSelectedIndex_);
  ShowSelection();
}

}  // namespace qev
