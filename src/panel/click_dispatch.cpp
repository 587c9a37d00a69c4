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
Changes LeftClickLevelChange(ClickTarget& t, Level kind) {
  if (!t.pointsExist()) return {};
  t.CloseStateText();
  Changes changes = t.CancelEdit();
  changes |= t.StepLevelChange(kind, +1);
  return changes;
}

Changes RightClickLevelChange(ClickTarget& t, Level kind) {
  t.CloseStateText();
  Changes changes = t.CancelEdit();
  if (t.pointsExist()) changes |= t.StepLevelChange(kind, -1);
  return changes;
}

// A display switch of the information panels; refused while editing, since
// the right panel then holds the edit.
Changes FlipPanelDisplay(ClickTarget& t, DisplaySwitch which) {
  t.CloseStateText();
  if (t.editing()) return {};
  return t.Flip(which);
}

Changes FlipFilter(ClickTarget& t, Level kind, int level) {
  if (t.editing()) return {};
  return t.FlipFilter(kind, level);
}

Changes SelectRandom(ClickTarget& t) {
  if (!t.pointsExist()) return {};
  t.CloseStateText();
  if (t.editing()) return {};
  return t.Select(SelectionStep::kRandom);
}

Changes ClickSlotLabel(ClickTarget& t, int k) {
  t.CloseStateText();
  Changes changes = t.CancelEdit();
  changes |= t.FlipSlot(k);
  return changes;
}

// "[設定]"/"[実行]" is tested twice per click, once before and once after
// "[中止]": the first test enters editing, the second one of the next click
// brings the count to 4 and writes the edit back.
Changes EditButtonFirstTest(ClickTarget& t) {
  if (!t.pointsExist()) return {};
  t.CountEditButtonTest();
  if (t.editing()) return {};
  return t.BeginContentEdit();
}

Changes EditButtonSecondTest(ClickTarget& t) {
  if (!t.pointsExist()) return {};
  if (t.CountEditButtonTest() != 4) return {};
  t.SetEditButtonTests(0);
  if (!t.editing()) return {};
  Changes changes = t.ExecuteContentEdit();
  // A refused edit stays open with what the user typed; the next click on
  // "[実行]" tries again.
  if (t.editing()) t.SetEditButtonTests(2);
  return changes;
}

Changes CancelButton(ClickTarget& t) {
  if (!t.editing()) return {};
  t.CloseStateText();
  return t.LeaveContentEdit();
}

Changes LeftClickArea(ClickTarget& t, PanelArea area) {
  if (auto level = ImportanceLevelOf(area)) return FlipFilter(t, Level::kImportance, *level);
  if (auto level = MemorisationLevelOf(area)) return FlipFilter(t, Level::kMemorisation, *level);
  if (auto slot = SlotOf(area)) return ClickSlotLabel(t, *slot);
  switch (area) {
    case PanelArea::kPriority:
      t.CloseStateText();
      if (t.editing()) return {};
      return t.Flip(DisplaySwitch::kFilterPriority);
    case PanelArea::kImportanceChange:
      return LeftClickLevelChange(t, Level::kImportance);
    case PanelArea::kMemorisationChange:
      return LeftClickLevelChange(t, Level::kMemorisation);
    case PanelArea::kEditSetExecute: {
      // "[中止]" lies beside it, never on it, so the second test can follow
      // at once.
      Changes changes = EditButtonFirstTest(t);
      changes |= EditButtonSecondTest(t);
      // A refused "[設定]" leaves no edit to count clicks for.
      if (!t.editing()) t.SetEditButtonTests(0);
      return changes;
    }
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
      return t.Flip(DisplaySwitch::kYearDisplayMode);
    case PanelArea::kRange: {
      t.CloseStateText();
      Changes changes = t.CancelEdit();
      changes |= t.ChangeRange(+1);
      return changes;
    }
    case PanelArea::kStopwatch:
      return t.StopwatchClick();
    case PanelArea::kStateLabel:
      if (t.stateDescriptionShown()) {
        t.CloseStateText();
        return {.panels = true};
      }
      t.ShowStateDescription();
      return {.controlPanel = true};
    case PanelArea::kTextSize:
      return t.Flip(DisplaySwitch::kTextSize);
    case PanelArea::kPointDisplayMode:
      return t.Step(SteppedSetting::kPointDisplayMode, +1);
    case PanelArea::kDiagram:
      if (t.screenPage() == ScreenPage::kDiagram) {
        t.BackToMain();
      } else {
        t.ShowDiagram();
      }
      return {};
    case PanelArea::kHelp:
      // Opens on P1 but keeps the page index, so paging goes on from the
      // page last shown.
      if (t.screenPage() == ScreenPage::kHelp) {
        t.BackToMain();
      } else {
        t.ShowHelpPage(0);
      }
      return {};
    case PanelArea::kBrightness:
      return t.Step(SteppedSetting::kBrightness, +1);
    case PanelArea::kUnit:
      // "単位=1年" is the one unit there is: its click changes nothing.
    default:
      return {};
  }
}

// A click in the frame steps the selection (left back, right on); one in
// the strip above it selects the point under it. Only while the drawing
// area shows the timeline and has points.
Changes ClickTimeline(ClickTarget& t, int x, int y, SelectionStep step) {
  if (!TimelineClickable(t)) return {};
  const ScreenLayout& l = t.layout();
  Changes changes;
  if (InFrame(l, x, y)) {
    t.CloseStateText();
    changes |= t.CancelEdit();
    changes |= t.Select(step);
  }
  if (y < l.Y(20)) changes |= t.SelectAt(x);
  return changes;
}

// What a double click in a strip beside the frame does: the first or last
// point in view.
Changes JumpToEnd(ClickTarget& t, SelectionStep step) {
  t.CloseStateText();
  Changes changes = t.CancelEdit();
  if (t.pointsExist()) changes |= t.Select(step);
  return changes;
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

  t.Show(ClickTimeline(t, x, y, SelectionStep::kPrevious));

  for (PanelArea area : AreasAt(l, x, y)) t.Show(LeftClickArea(t, area));
}

void OnRButtonUp(ClickTarget& t, int x, int y) {
  const ScreenLayout& l = t.layout();

  // Paging back through the help, wherever the click is.
  if (t.screenPage() == ScreenPage::kHelp) {
    t.TurnHelpPage((t.helpPageIndex() + kHelpPageCount - 1) % kHelpPageCount);
  }

  t.Show(ClickTimeline(t, x, y, SelectionStep::kNext));

  // Only these labels step back on a right click; the context menu decides
  // what the others offer.
  auto hit = [&](PanelArea area) { return AreaRect(l, area).Contains(x, y); };
  if (hit(PanelArea::kImportanceChange)) t.Show(RightClickLevelChange(t, Level::kImportance));
  if (hit(PanelArea::kMemorisationChange)) t.Show(RightClickLevelChange(t, Level::kMemorisation));
  if (hit(PanelArea::kRandom)) t.Show(SelectRandom(t));
  if (hit(PanelArea::kPointDisplayMode) && t.pointsExist()) {
    t.Show(t.Step(SteppedSetting::kPointDisplayMode, -1));
  }
  if (hit(PanelArea::kRange)) {
    Changes changes = t.CancelEdit();
    changes |= t.ChangeRange(-1);
    t.Show(changes);
  }
  if (hit(PanelArea::kBrightness)) t.Show(t.Step(SteppedSetting::kBrightness, -1));
}

void OnLButtonDblClk(ClickTarget& t, int x, int y) {
  const ScreenLayout& l = t.layout();
  if (LeftStrip(l).Contains(x, y)) t.Show(JumpToEnd(t, SelectionStep::kFirst));
  if (RightStrip(l).Contains(x, y) && t.pointsExist()) t.Show(JumpToEnd(t, SelectionStep::kLast));
}

void OnRButtonDblClk(ClickTarget& t, int x, int y) {
  if (RightStrip(t.layout()).Contains(x, y)) t.Show(JumpToEnd(t, SelectionStep::kLast));
}

void OnLButtonDown(ClickTarget& t, int x, int y) {
  // Ends an edit before the release toggles the state description.
  if (StateLabelPressRect(t.layout()).Contains(x, y) && t.pointsExist()) {
    t.Show(t.CancelEdit());
  }
}

}  // namespace qev
