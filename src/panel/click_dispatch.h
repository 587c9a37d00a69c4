#pragma once

#include "events/event_store.h"
#include "panel/content_edit.h"
#include "panel/screen_page.h"
#include "platform/screen_layout.h"
#include "settings/display_settings.h"
#include "timeline/visible_points.h"

// What every mouse click on the view does. The dispatch tests its fixed
// sequence of rectangles, and every one that holds the click acts, in order;
// nothing stops the sequence early. The rules live here; the view lends its
// state and the redraw operations through ClickTarget.
namespace qev {

// The time unit index of "単位=1年", which the unit label sets.
inline constexpr int kTimeUnitYear = 2;

class ClickTarget {
 public:
  virtual ~ClickTarget() = default;

  // The state the clicks read and change.
  virtual const ScreenLayout& layout() const = 0;
  virtual DisplaySettings& settings() = 0;
  virtual ContentEditState& edit() = 0;
  virtual EventStore& store() = 0;
  // The visible points and the selection; "points exist" is !empty().
  virtual VisiblePointList& visible() = 0;
  virtual ScreenPage& screenPage() = 0;
  virtual int& helpPageIndex() = 0;  // 0..3 for P1..P4
  virtual int& timeUnitIndex() = 0;
  virtual DrawAreaContent drawAreaContent() const = 0;
  virtual bool stateDescriptionShown() const = 0;
  virtual int randomIndex() = 0;

  // stateDescriptionShown := 0; the right panel shows the point again at
  // its next redraw.
  virtual void CloseStateText() = 0;
  // Composes the operating-state description, keeps it for repainting, puts
  // it into the right panel and sets stateDescriptionShown (remembering the
  // selection for the state file).
  virtual void ShowStateDescription() = 0;
  // If edit().Cancel() ends an edit: the full refresh.
  virtual void CancelContentEdit() = 0;
  // Point list rebuilt from the slots, selection on the first visible point,
  // everything redrawn.
  virtual void FullRefresh() = 0;
  // Timeline, selection marks, information panels, control panel.
  virtual void SelectRedraw() = 0;
  // Both information panels, then the control panel.
  virtual void PanelsRedraw() = 0;
  // The timeline alone; the drawing area shows the timeline again.
  virtual void TimelineRedraw() = 0;
  virtual void DrawControlPanel() = 0;
  // One range step (+1 or -1, wrapping 0..20) with everything after it:
  // scale and scroll position, timeline, point ordering, slot views, the
  // first visible point selected, selection and control panel redrawn.
  virtual void ChangeRange(int direction) = 0;
  // The visible points and their display list rebuilt from the point list.
  virtual void RebuildSlotViews() = 0;
  // "[設定]": enters editing (contentEditMode := 1) with EditPanelText of the
  // selected point's line in the right panel.
  virtual void BeginContentEdit() = 0;
  // "[実行]": leaves editing (contentEditMode := 0, state text closed),
  // writes RewriteEventLine into the slot and marks it changed, then redraws
  // the selection. When the edit is refused it tells the user why and stays
  // in editing, so nothing typed is lost.
  virtual void ExecuteContentEdit() = 0;
  // Writes edit().importanceChange and memorisationChange into the selected
  // point's line (WriteLevelDigits) and marks its slot changed.
  virtual void ApplyLevelChange() = 0;
  virtual void StopwatchClick() = 0;
  // Draws help page k (0..3) into the drawing area.
  virtual void ShowHelpPage(int k) = 0;
  // Draws the function diagram into the drawing area.
  virtual void ShowDiagram() = 0;
};

// The button releases, the double clicks and the left button press, at view
// position (x, y).
void OnLButtonUp(ClickTarget& target, int x, int y);
void OnRButtonUp(ClickTarget& target, int x, int y);
void OnLButtonDblClk(ClickTarget& target, int x, int y);
void OnRButtonDblClk(ClickTarget& target, int x, int y);
void OnLButtonDown(ClickTarget& target, int x, int y);

}  // namespace qev
