#include "panel/click_dispatch.h"

#include <array>

#include "panel/panel_areas.h"

namespace qev {

namespace {

// Inside the timeline frame, edges excluded on all four sides.
bool InFrame(const ScreenLayout& l, int x, int y) {
  return l.X(15) < x && x < l.X(981) && l.Y(20) < y && y < l.Y(675);
}

// The strips beside the frame, where double clicks jump to the ends.
PanelRect LeftStrip(const ScreenLayout& l) {
  return {0, l.Y(20), l.X(15), l.Y(675)};
}
PanelRect RightStrip(const ScreenLayout& l) {
  return {l.X(980), l.Y(20), l.X(997), l.Y(675)};
}

bool TimelineClickable(const ClickTarget& t) {
  return t.pointsExist() && t.drawAreaContent() == DrawAreaContent::kTimeline;
}

// A level-change value stepped by `step`, written into the selected point's
// line; the selection survives the rebuild of the slot views.
void StepLevelChange(ClickTarget& t, Level kind, int step) {
  t.StepLevelChange(kind, step);
  t.DrawControlPanel();
  t.SelectRedraw();
}

void LeftClickLevelChange(ClickTarget& t, Level kind) {
  if (!t.pointsExist()) return;
  t.CloseStateText();
  t.CancelContentEdit();
  StepLevelChange(t, kind, +1);
}

void RightClickLevelChange(ClickTarget& t, Level kind) {
  t.CloseStateText();
  t.CancelContentEdit();
  if (t.pointsExist()) StepLevelChange(t, kind, -1);
}

// A display switch of the information panels; refused while editing, since
// the right panel then holds the edit.
void FlipPanelDisplay(ClickTarget& t, DisplaySwitch which) {
  t.CloseStateText();
  if (t.editing()) return;
  t.Flip(which);
  t.PanelsRedraw();
  t.DrawControlPanel();
}

void FlipFilter(ClickTarget& t, Level kind, int level) {
  if (t.editing()) return;
  t.FlipFilter(kind, level);
  t.FullRefresh();
}

void SelectRandom(ClickTarget& t) {
  if (!t.pointsExist()) return;
  t.CloseStateText();
  if (t.editing()) return;
  t.Select(SelectionStep::kRandom);
  t.SelectRedraw();
}

void ClickSlotLabel(ClickTarget& t, int k) {
  t.CloseStateText();
  t.CancelContentEdit();
  if (t.FlipSlot(k)) t.FullRefresh();
}

// "[設定]"/"[実行]" is tested twice per click, once before and once after
// "[中止]": the first test enters editing, the second one of the next click
// brings the count to 4 and writes the edit back.
void EditButtonFirstTest(ClickTarget& t) {
  if (!t.pointsExist()) return;
  t.CountEditButtonTest();
  if (t.editing()) return;
  t.BeginContentEdit();
  t.DrawControlPanel();
}

void EditButtonSecondTest(ClickTarget& t) {
  if (!t.pointsExist()) return;
  if (t.CountEditButtonTest() != 4) return;
  t.SetEditButtonTests(0);
  if (!t.editing()) return;
  t.ExecuteContentEdit();
  // A refused edit stays open with what the user typed; the next click on
  // "[実行]" tries again.
  if (t.editing()) t.SetEditButtonTests(2);
}

void CancelButton(ClickTarget& t) {
  if (!t.editing()) return;
  t.CloseStateText();
  t.LeaveContentEdit();
  t.PanelsRedraw();
  t.DrawControlPanel();
}

void LeftClickArea(ClickTarget& t, PanelArea area) {
  if (auto level = ImportanceLevelOf(area)) return FlipFilter(t, Level::kImportance, *level);
  if (auto level = MemorisationLevelOf(area)) return FlipFilter(t, Level::kMemorisation, *level);
  if (auto slot = SlotOf(area)) return ClickSlotLabel(t, *slot);
  switch (area) {
    case PanelArea::kPriority:
      t.CloseStateText();
      if (t.editing()) return;
      t.Flip(DisplaySwitch::kFilterPriority);
      t.FullRefresh();
      return;
    case PanelArea::kImportanceChange:
      return LeftClickLevelChange(t, Level::kImportance);
    case PanelArea::kMemorisationChange:
      return LeftClickLevelChange(t, Level::kMemorisation);
    case PanelArea::kEditSetExecute:
      // "[中止]" lies beside it, never on it, so the second test can follow
      // at once.
      EditButtonFirstTest(t);
      EditButtonSecondTest(t);
      // A refused "[設定]" leaves no edit to count clicks for.
      if (!t.editing()) t.SetEditButtonTests(0);
      return;
    case PanelArea::kEditCancel:
      return CancelButton(t);
    case PanelArea::kShowYear:
      return FlipPanelDisplay(t, DisplaySwitch::kShowYear);
    case PanelArea::kShowImportance:
      return FlipPanelDisplay(t, DisplaySwitch::kShowImportance);
    case PanelArea::kShowMemorisation:
      return FlipPanelDisplay(t, DisplaySwitch::kShowMemorisation);
    case PanelArea::kShowEventLeft:
      return FlipPanelDisplay(t, DisplaySwitch::kShowEventLeft);
    case PanelArea::kRandom:
      return SelectRandom(t);
    case PanelArea::kShowEventRight:
      return FlipPanelDisplay(t, DisplaySwitch::kShowEventRight);
    case PanelArea::kShowMemo1:
      return FlipPanelDisplay(t, DisplaySwitch::kShowMemo1);
    case PanelArea::kShowMemo2:
      return FlipPanelDisplay(t, DisplaySwitch::kShowMemo2);
    case PanelArea::kYearDisplayMode:
      t.Flip(DisplaySwitch::kYearDisplayMode);
      t.DrawTimeline();
      t.SelectRedraw();
      t.PanelsRedraw();
      return;
    case PanelArea::kRange:
      t.CloseStateText();
      t.CancelContentEdit();
      t.ChangeRange(+1);
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
      t.Flip(DisplaySwitch::kTextSize);
      t.DrawControlPanel();
      return;
    case PanelArea::kPointDisplayMode:
      t.Step(SteppedSetting::kPointDisplayMode, +1);
      t.DrawTimeline();
      t.SelectRedraw();
      t.DrawControlPanel();
      return;
    case PanelArea::kDiagram:
      if (t.screenPage() == ScreenPage::kDiagram) return t.BackToMain();
      return t.ShowDiagram();
    case PanelArea::kHelp:
      // Opens on P1 but keeps the page index, so paging goes on from the
      // page last shown.
      if (t.screenPage() == ScreenPage::kHelp) return t.BackToMain();
      return t.ShowHelpPage(0);
    case PanelArea::kBrightness:
      t.Step(SteppedSetting::kBrightness, +1);
      t.DrawTimeline();
      t.SelectRedraw();
      return;
    case PanelArea::kUnit:
      // "単位=1年" is the one unit there is: its click changes nothing.
    default:
      return;
  }
}

// A click in the frame steps the selection (left back, right on); one in
// the strip above it selects the point under it. Only while the drawing
// area shows the timeline and has points.
void ClickTimeline(ClickTarget& t, int x, int y, SelectionStep step) {
  if (!TimelineClickable(t)) return;
  const ScreenLayout& l = t.layout();
  if (InFrame(l, x, y)) {
    t.CloseStateText();
    t.CancelContentEdit();
    t.Select(step);
    t.SelectRedraw();
  }
  if (y < l.Y(20)) {
    t.SelectAt(x);
    t.SelectRedraw();
  }
}

}  // namespace

void OnLButtonUp(ClickTarget& t, int x, int y) {
  const ScreenLayout& l = t.layout();

  // The diagram's page links, or paging forward through the help.
  if (t.screenPage() == ScreenPage::kDiagram) {
    for (int k = 0; k < kHelpPageCount; ++k) {
      if (DiagramLinkRect(l, k).Contains(x, y)) t.TurnHelpPage(k);
    }
  } else if (t.screenPage() == ScreenPage::kHelp && InFrame(l, x, y)) {
    t.TurnHelpPage((t.helpPageIndex() + 1) % kHelpPageCount);
  }

  ClickTimeline(t, x, y, SelectionStep::kPrevious);

  for (PanelArea area : AreasAt(l, x, y)) LeftClickArea(t, area);
}

void OnRButtonUp(ClickTarget& t, int x, int y) {
  const ScreenLayout& l = t.layout();

  // Paging back through the help, wherever the click is.
  if (t.screenPage() == ScreenPage::kHelp) {
    t.TurnHelpPage((t.helpPageIndex() + kHelpPageCount - 1) % kHelpPageCount);
  }

  ClickTimeline(t, x, y, SelectionStep::kNext);

  // Only these labels step back on a right click; the context menu decides
  // what the others offer.
  auto hit = [&](PanelArea area) { return AreaRect(l, area).Contains(x, y); };
  if (hit(PanelArea::kImportanceChange)) RightClickLevelChange(t, Level::kImportance);
  if (hit(PanelArea::kMemorisationChange)) RightClickLevelChange(t, Level::kMemorisation);
  if (hit(PanelArea::kRandom)) SelectRandom(t);
  if (hit(PanelArea::kPointDisplayMode) && t.pointsExist()) {
    t.Step(SteppedSetting::kPointDisplayMode, -1);
    t.SelectRedraw();
    t.DrawControlPanel();
  }
  if (hit(PanelArea::kRange)) {
    t.CancelContentEdit();
    t.ChangeRange(-1);
  }
  if (hit(PanelArea::kBrightness)) {
    t.Step(SteppedSetting::kBrightness, -1);
    t.DrawTimeline();
    t.SelectRedraw();
  }
}

void OnLButtonDblClk(ClickTarget& t, int x, int y) {
  const ScreenLayout& l = t.layout();
  if (LeftStrip(l).Contains(x, y)) {
    t.CloseStateText();
    t.CancelContentEdit();
    if (t.pointsExist()) {
      t.Select(SelectionStep::kFirst);
      t.SelectRedraw();
    }
  }
  if (RightStrip(l).Contains(x, y) && t.pointsExist()) {
    t.CloseStateText();
    t.CancelContentEdit();
    t.Select(SelectionStep::kLast);
    t.SelectRedraw();
  }
}

void OnRButtonDblClk(ClickTarget& t, int x, int y) {
  if (!RightStrip(t.layout()).Contains(x, y)) return;
  t.CloseStateText();
  t.CancelContentEdit();
  if (!t.pointsExist()) return;
  t.Select(SelectionStep::kLast);
  t.SelectRedraw();
}

void OnLButtonDown(ClickTarget& t, int x, int y) {
  // Ends an edit before the release toggles the state description.
  if (StateLabelPressRect(t.layout()).Contains(x, y) && t.pointsExist()) t.CancelContentEdit();
}

}  // namespace qev
