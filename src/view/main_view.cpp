#include "view/main_view.h"

#include <filesystem>
#include <functional>
#include <system_error>
#include <utility>

#include "panel/control_panel.h"
#include "state/clock.h"
#include "panel/panel_areas.h"
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

MainView::MainView(Platform& platform, ScreenLayout layout, std::string dataDir)
    : platform_(platform), layout_(layout), scale_(layout) {
  store_.SetDataDir(std::move(dataDir));
  pointDisplayList_.reserve(kPointCapacity + 3);
}

void MainView::OnInitialUpdate() {
  platform_.SetScrollThumb(TimelineScale::kStartThumb);
  DrawTimeline();
  DrawControlPanel();
}

void MainView::OnPaint() {
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

OperatingState MainView::CurrentOperatingState() const {
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

void MainView::OnLButtonUp(int, int) {}
void MainView::OnRButtonUp(int, int) {}
void MainView::OnLButtonDown(int, int) {}
void MainView::OnLButtonDblClk(int, int) {}
void MainView::OnRButtonDblClk(int, int) {}

void MainView::ShowContextMenu(int x, int y) {
  std::optional<int> k = SlotLabelAt(layout_, x, y);
  if (!k) return;
  stateDescriptionShown_ = 0;
  CancelContentEdit();
  menuTarget_ = kFirstSlotTarget + *k;
  bool loaded = store_.slots[static_cast<std::size_t>(*k)].loaded == 1;
  MenuCommand command = platform_.PopupMenu(SlotMenu(loaded), x, y);
  if (command != MenuCommand::kNone) OnCommand(command);
}

void MainView::ScrollTimeline(ScrollCode code, int thumbPos) {
  stateDescriptionShown_ = 0;
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
  stateDescriptionShown_ = 0;
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
  DrawSelectionMarks(scale_, settings_, *selected, platform_.DrawAreaCanvas());
  FillInfoPanels();
}

void MainView::RebuildVisiblePoints() {
  visible_.RebuildVisiblePoints(points_.points(), scale_.originX(), scale_.drawAreaWidth());
  BuildPointDisplayList(visible_, points_.points(), store_, pointDisplayList_);
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

int MainView::randomIndex() const {
  return randomIndex_.Value(platform_.SteadyMilliseconds());
}

void MainView::FillInfoPanels() {
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

void MainView::ClearInfoPanels() {
  DrawTimeline();
  platform_.SetPanelText(InfoPanel::kLeft, {});
  platform_.SetPanelText(InfoPanel::kRight, {});
}

void MainView::DrawTimeline() {
  screenPage_ = 0;
  drawAreaContent_ = 0;
  qev::DrawTimeline(scale_, settings_, points_.points(), platform_.DrawAreaCanvas(),
                    platform_.ViewCanvas());
}

void MainView::DrawAllPoints() {
  qev::DrawAllPoints(scale_, points_.points(), platform_.DrawAreaCanvas());
}

void MainView::DrawControlPanel() {
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
    default:
      break;
  }
}

}  // namespace qev
