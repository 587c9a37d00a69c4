#pragma once

#include "model/operations.h"
#include "panel/screen_page.h"
#include "platform/screen_layout.h"

// What every mouse click on the view does. The dispatch tests its fixed
// sequence of rectangles, and every one that holds the click acts, in order;
// nothing stops the sequence early. The rules live here; the view reports
// its state and carries out the operations through ClickTarget, each of
// which says what it changed, and the dispatch hands that back to the view
// to show.
namespace qev {

class ClickTarget {
 public:
  virtual ~ClickTarget() = default;

  // What the clicks read.
  virtual const ScreenLayout& layout() const = 0;
  // Whether there are visible points (a selection).
  virtual bool pointsExist() const = 0;
  virtual bool editing() const = 0;
  virtual ScreenPage screenPage() const = 0;
  virtual int helpPageIndex() const = 0;  // 0..3 for P1..P4
  virtual DrawAreaContent drawAreaContent() const = 0;
  virtual bool stateDescriptionShown() const = 0;

  // Shows what an operation changed.
  virtual void Show(const Changes& changes) = 0;

  // The right panel shows the selected point again at its next redraw.
  virtual void CloseStateText() = 0;
  // Ends a content edit without writing it back; when one was under way,
  // the point list is rebuilt with the first point selected.
  virtual Changes CancelEdit() = 0;

  // The settings: each flip or step changes the value, with what follows
  // from it (a filter or the priority rebuilds the point list).
  virtual Changes Flip(DisplaySwitch which) = 0;
  // +1 or -1, wrapping: point display mode 0..2, brightness 1..5.
  virtual Changes Step(SteppedSetting which, int step) = 0;
  // The level filter of `level` (1..5) flipped.
  virtual Changes FlipFilter(Level kind, int level) = 0;
  // Slot k switched on or off, its title set to its label, if it holds a
  // file; nothing changes if not.
  virtual Changes FlipSlot(int k) = 0;
  // One range step (+1 or -1, wrapping 0..20): scale and scroll position,
  // the points placed for it, the first visible point selected.
  virtual Changes ChangeRange(int direction) = 0;

  // The selection moved; nothing moves without points.
  virtual Changes Select(SelectionStep step) = 0;
  // A click above the drawing area at view x.
  virtual Changes SelectAt(int x) = 0;
  // The level-change value of `kind` stepped (+1 or -1, wrapping 1..5) and
  // written with the other one into the selected point's line
  // (WriteLevelDigits), its slot marked changed, the selection kept.
  virtual Changes StepLevelChange(Level kind, int step) = 0;

  // Content editing. "[設定]": enters editing with EditPanelText of the
  // selected point's line in the right panel. "[実行]": writes the edit back
  // (RewriteEventLine) and marks the slot changed; a refused edit tells the
  // user why and stays open, so nothing typed is lost. "[中止]": leaves
  // editing without writing.
  virtual Changes BeginContentEdit() = 0;
  virtual Changes ExecuteContentEdit() = 0;
  virtual Changes LeaveContentEdit() = 0;
  // The "[設定]"/"[実行]" area is tested twice per click: one more test,
  // returning the count of tests so far; and setting the count.
  virtual int CountEditButtonTest() = 0;
  virtual void SetEditButtonTests(int count) = 0;

  // Composes the operating-state description, keeps it for repainting, puts
  // it into the right panel and sets stateDescriptionShown.
  virtual void ShowStateDescription() = 0;
  virtual Changes StopwatchClick() = 0;
  // The drawing area switched to a page: help page k drawn (TurnHelpPage
  // also makes it the page paging goes on from), the diagram, or back to
  // the timeline with the selection.
  virtual void ShowHelpPage(int k) = 0;
  virtual void TurnHelpPage(int k) = 0;
  virtual void ShowDiagram() = 0;
  virtual void BackToMain() = 0;
};

// The button releases, the double clicks and the left button press, at view
// position (x, y).
void OnLButtonUp(ClickTarget& target, int x, int y);
void OnRButtonUp(ClickTarget& target, int x, int y);
void OnLButtonDblClk(ClickTarget& target, int x, int y);
void OnRButtonDblClk(ClickTarget& target, int x, int y);
void OnLButtonDown(ClickTarget& target, int x, int y);

}  // namespace qev
