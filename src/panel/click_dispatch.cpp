#include "panel/click_dispatch.h"

#include <array>

#include "panel/panel_areas.h"

namespace qev {

namespace {

// Inside the timeline frame, edges excluded on all four sides.
bool InFrame(const ScreenLayout& l, int x, int y) {
  return l.X(15) < x && x < l.X(981) && l.Y(20) < y && y < l.Y(675);
}

// The diagram's link k (0..3) to help page k.
// The strips beside the frame, where double clicks jump to the ends.
PanelRect LeftStrip(const ScreenLayout& l) {
  return {0, l.Y(20), l.X(15), l.Y(675)};
}
PanelRect RightStrip(const ScreenLayout& l) {
  return {l.X(980), l.Y(20), l.X(997), l.Y(675)};
}

bool PointsExist(ClickTarget& t) {
  return !t.visible().empty();
}

bool TimelineClickable(ClickTarget& t) {
  return PointsExist(t) && t.drawAreaContent() == DrawAreaContent::kTimeline;
}

int Flip(int flag) {
  return flag == 0 ? 1 : 0;
}

void TurnToHelpPage(ClickTarget& t, int k) {
  t.helpPageIndex() = k;
  t.ShowHelpPage(k);
}

void BackToMain(ClickTarget& t) {
  t.screenPage() = ScreenPage::kMain;
  t.TimelineRedraw();
  t.SelectRedraw();
  t.DrawControlPanel();
}

// A level-change value stepped by `step`, written into the selected point's
// line; the selection survives the rebuild of the slot views.
void StepLevelChange(ClickTarget& t, int ContentEditState::*level, int step) {
  ContentEditState& edit = t.edit();
  edit.*level = StepLevel(edit.*level, step);
  const int selected = t.visible().selectedIndex();
  t.ApplyLevelChange();
  t.RebuildSlotViews();
  t.DrawControlPanel();
  t.visible().SetSelectedIndex(selected);
  t.SelectRedraw();
}

void LeftClickLevelChange(ClickTarget& t, int ContentEditState::*level) {
  if (!PointsExist(t)) return;
  t.CloseStateText();
  t.CancelContentEdit();
  StepLevelChange(t, level, +1);
}

void RightClickLevelChange(ClickTarget& t, int ContentEditState::*level) {
  t.CloseStateText();
  t.CancelContentEdit();
  if (PointsExist(t)) StepLevelChange(t, level, -1);
}

// A display switch of the information panels; refused while editing, since
// the right panel then holds the edit.
void FlipPanelDisplay(ClickTarget& t, int DisplaySettings::*flag,
                      int DisplaySettings::*alsoFlag = nullptr) {
  t.CloseStateText();
  if (t.edit().editing()) return;
  DisplaySettings& d = t.settings();
  d.*flag = Flip(d.*flag);
  if (alsoFlag != nullptr) d.*alsoFlag = d.*flag;
  t.PanelsRedraw();
  t.DrawControlPanel();
}

void FlipFilter(ClickTarget& t, std::array<int, 6>& filter, int level) {
  if (t.edit().editing()) return;
  filter[static_cast<std::size_t>(level)] = Flip(filter[static_cast<std::size_t>(level)]);
  t.FullRefresh();
}

void SelectRandom(ClickTarget& t) {
  if (!PointsExist(t)) return;
  t.CloseStateText();
  if (t.edit().editing()) return;
  t.visible().SelectRandom(t.randomIndex());
  t.SelectRedraw();
}

void ClickSlotLabel(ClickTarget& t, int k) {
  t.CloseStateText();
  t.CancelContentEdit();
  FileSlot& slot = t.store().slots[static_cast<std::size_t>(k)];
  if (slot.loaded != 1) return;
  slot.on = Flip(slot.on);
  slot.title = slot.label;
  t.FullRefresh();
}

// "[設定]"/"[実行]" is tested twice per click, once before and once after
// "[中止]": the first test enters editing, the second one of the next click
// brings the count to 4 and writes the edit back.
void EditButtonFirstTest(ClickTarget& t) {
  if (!PointsExist(t)) return;
  ContentEditState& edit = t.edit();
  ++edit.editClickCount;
  if (edit.editing()) return;
  t.BeginContentEdit();
  t.DrawControlPanel();
}

void EditButtonSecondTest(ClickTarget& t) {
  if (!PointsExist(t)) return;
  ContentEditState& edit = t.edit();
  if (++edit.editClickCount != 4) return;
  edit.editClickCount = 0;
  if (!edit.editing()) return;
  t.ExecuteContentEdit();
  // A refused edit stays open with what the user typed; the next click on
  // "[実行]" tries again.
  if (edit.editing()) edit.editClickCount = 2;
}

void CancelButton(ClickTarget& t) {
  ContentEditState& edit = t.edit();
  if (!edit.editing()) return;
  edit.editClickCount = 0;
  t.CloseStateText();
  edit.contentEditMode = false;
  t.PanelsRedraw();
  t.DrawControlPanel();
}

void LeftClickArea(ClickTarget& t, PanelArea area) {
  DisplaySettings& d = t.settings();
  if (auto level = ImportanceLevelOf(area)) return FlipFilter(t, d.importanceFilter, *level);
  if (auto level = MemorisationLevelOf(area)) return FlipFilter(t, d.memorisationFilter, *level);
  if (auto slot = SlotOf(area)) return ClickSlotLabel(t, *slot);
  switch (area) {
    case PanelArea::kPriority:
      t.CloseStateText();
      if (t.edit().editing()) return;
      d.filterPriority = Flip(d.filterPriority);
      t.FullRefresh();
      return;
    case PanelArea::kImportanceChange:
      return LeftClickLevelChange(t, &ContentEditState::importanceChange);
    case PanelArea::kMemorisationChange:
      return LeftClickLevelChange(t, &ContentEditState::memorisationChange);
    case PanelArea::kEditSetExecute:
      // "[中止]" lies beside it, never on it, so the second test can follow
      // at once.
      EditButtonFirstTest(t);
      EditButtonSecondTest(t);
      // A refused "[設定]" leaves no edit to count clicks for.
      if (!t.edit().editing()) t.edit().editClickCount = 0;
      return;
    case PanelArea::kEditCancel:
      return CancelButton(t);
    case PanelArea::kShowYear:
      return FlipPanelDisplay(t, &DisplaySettings::showYear);
    case PanelArea::kShowImportance:
      return FlipPanelDisplay(t, &DisplaySettings::showImportance,
                              &DisplaySettings::importanceToPanel);
    case PanelArea::kShowMemorisation:
      return FlipPanelDisplay(t, &DisplaySettings::showMemorisation,
                              &DisplaySettings::memorisationToPanel);
    case PanelArea::kShowEventLeft:
      return FlipPanelDisplay(t, &DisplaySettings::showEventLeft);
    case PanelArea::kRandom:
      return SelectRandom(t);
    case PanelArea::kShowEventRight:
      return FlipPanelDisplay(t, &DisplaySettings::showEventRight);
    case PanelArea::kShowMemo1:
      return FlipPanelDisplay(t, &DisplaySettings::showMemo1);
    case PanelArea::kShowMemo2:
      return FlipPanelDisplay(t, &DisplaySettings::showMemo2);
    case PanelArea::kYearDisplayMode:
      d.yearDisplayMode = Flip(d.yearDisplayMode);
      t.TimelineRedraw();
      t.SelectRedraw();
      t.PanelsRedraw();
      return;
    case PanelArea::kRange:
      t.CloseStateText();
      t.CancelContentEdit();
      t.ChangeRange(+1);
      return;
    case PanelArea::kUnit:
      t.timeUnitIndex() = kTimeUnitYear;
      return;
    case PanelArea::kStopwatch:
      t.StopwatchClick();
      t.DrawControlPanel();
      return;
    case PanelArea::kStateLabel:
      if (t.stateDescriptionShown()) {
        t.CloseStateText();
        t.PanelsRedraw();
      } else {
        t.ShowStateDescription();
      }
      t.DrawControlPanel();
      return;
    case PanelArea::kTextSize:
      d.textSize = Flip(d.textSize);
      t.DrawControlPanel();
      return;
    case PanelArea::kPointDisplayMode:
      d.pointDisplayMode = (d.pointDisplayMode + 1) % 3;
      t.TimelineRedraw();
      t.SelectRedraw();
      t.DrawControlPanel();
      return;
    case PanelArea::kDiagram:
      if (t.screenPage() == ScreenPage::kDiagram) return BackToMain(t);
      t.ShowDiagram();
      t.screenPage() = ScreenPage::kDiagram;
      return;
    case PanelArea::kHelp:
      // Opens on P1 but keeps the page index, so paging goes on from the
      // page last shown.
      if (t.screenPage() == ScreenPage::kHelp) return BackToMain(t);
      t.ShowHelpPage(0);
      t.screenPage() = ScreenPage::kHelp;
      return;
    case PanelArea::kBrightness:
      d.brightness = d.brightness >= 5 ? 1 : d.brightness + 1;
      t.TimelineRedraw();
      t.SelectRedraw();
      return;
    default:
      return;
  }
}

// A click in the frame steps the selection (left back, right on); one in
// the strip above it selects the point under it. Only while the drawing
// area shows the timeline and has points.
void ClickTimeline(ClickTarget& t, int x, int y, void (VisiblePointList::*step)()) {
  if (!TimelineClickable(t)) return;
  const ScreenLayout& l = t.layout();
  if (InFrame(l, x, y)) {
    t.CloseStateText();
    t.CancelContentEdit();
    (t.visible().*step)();
    t.SelectRedraw();
  }
  if (y < l.Y(20)) {
    t.visible().SelectAtX(x, l);
    t.SelectRedraw();
  }
}

}  // namespace

void OnLButtonUp(ClickTarget& t, int x, int y) {
  const ScreenLayout& l = t.layout();

  // The diagram's page links, or paging forward through the help.
  if (t.screenPage() == ScreenPage::kDiagram) {
    for (int k = 0; k < kHelpPageCount; ++k) {
      if (!DiagramLinkRect(l, k).Contains(x, y)) continue;
      t.screenPage() = ScreenPage::kHelp;
      TurnToHelpPage(t, k);
    }
  } else if (t.screenPage() == ScreenPage::kHelp && InFrame(l, x, y)) {
    TurnToHelpPage(t, (t.helpPageIndex() + 1) % kHelpPageCount);
  }

  ClickTimeline(t, x, y, &VisiblePointList::SelectPrevious);

  for (PanelArea area : AreasAt(l, x, y)) LeftClickArea(t, area);
}

void OnRButtonUp(ClickTarget& t, int x, int y) {
  const ScreenLayout& l = t.layout();

  // Paging back through the help, wherever the click is.
  if (t.screenPage() == ScreenPage::kHelp) {
    TurnToHelpPage(t, (t.helpPageIndex() + kHelpPageCount - 1) % kHelpPageCount);
  }

  ClickTimeline(t, x, y, &VisiblePointList::SelectNext);

  // Only these labels step back on a right click; the context menu decides
  // what the others offer.
  auto hit = [&](PanelArea area) { return AreaRect(l, area).Contains(x, y); };
  DisplaySettings& d = t.settings();
  if (hit(PanelArea::kImportanceChange)) {
    RightClickLevelChange(t, &ContentEditState::importanceChange);
  }
  if (hit(PanelArea::kMemorisationChange)) {
    RightClickLevelChange(t, &ContentEditState::memorisationChange);
  }
  if (hit(PanelArea::kRandom)) SelectRandom(t);
  if (hit(PanelArea::kPointDisplayMode) && PointsExist(t)) {
    d.pointDisplayMode = (d.pointDisplayMode + 2) % 3;
    t.SelectRedraw();
    t.DrawControlPanel();
  }
  if (hit(PanelArea::kRange)) {
    t.CancelContentEdit();
    t.ChangeRange(-1);
  }
  if (hit(PanelArea::kUnit)) t.timeUnitIndex() = kTimeUnitYear;
  if (hit(PanelArea::kBrightness)) {
    d.brightness = d.brightness <= 1 ? 5 : d.brightness - 1;
    t.TimelineRedraw();
    t.SelectRedraw();
  }
}

void OnLButtonDblClk(ClickTarget& t, int x, int y) {
  const ScreenLayout& l = t.layout();
  if (LeftStrip(l).Contains(x, y)) {
    t.CloseStateText();
    t.CancelContentEdit();
    if (PointsExist(t)) {
      t.visible().SelectFirst();
      t.SelectRedraw();
    }
  }
  if (RightStrip(l).Contains(x, y) && PointsExist(t)) {
    t.CloseStateText();
    t.CancelContentEdit();
    t.visible().SelectLast();
    t.SelectRedraw();
  }
}

void OnRButtonDblClk(ClickTarget& t, int x, int y) {
  if (!RightStrip(t.layout()).Contains(x, y)) return;
  t.CloseStateText();
  t.CancelContentEdit();
  if (!PointsExist(t)) return;
  t.visible().SelectLast();
  t.SelectRedraw();
}

void OnLButtonDown(ClickTarget& t, int x, int y) {
  // Ends an edit before the release toggles the state description.
  if (StateLabelPressRect(t.layout()).Contains(x, y) && PointsExist(t)) t.CancelContentEdit();
}

}  // namespace qev
