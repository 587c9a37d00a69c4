#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "export/timeline_sheet.h"
#include "lists/table_export.h"
#include "model/study_session.h"
#include "panel/key_commands.h"
#include "study/line_click.h"
#include "timeline/scrolling.h"
#include "view/event_desk.h"

namespace qev {

// What writing imported events into a new event file came to.
struct ImportOutcome {
  std::string problem;      // UTF-8: why nothing was written; empty when the file was
  std::string fileName;     // UTF-8: the file written into the data folder
  std::optional<int> slot;  // the slot it was read into; none when every slot holds a file
};

// What the window tells the view: every window message the program handles.
// The program's view implements it; the window's tests plug in recorders.
class ViewHandlers {
 public:
  virtual ~ViewHandlers() = default;

  // One-time initialisation, before the window shows.
  virtual void OnInitialUpdate() = 0;
  // Every paint; the first one restores the state file and the slots.
  virtual void OnPaint() = 0;

  // Pointer input, in view coordinates.
  virtual void OnLButtonUp(int x, int y) = 0;
  virtual void OnRButtonUp(int x, int y) = 0;
  virtual void OnLButtonDown(int x, int y) = 0;
  virtual void OnLButtonDblClk(int x, int y) = 0;
  virtual void OnRButtonDblClk(int x, int y) = 0;
  // The context menu for the label under (x, y), after the right-button
  // release was dispatched.
  virtual void ShowContextMenu(int x, int y) = 0;

  virtual void ScrollTimeline(ScrollCode code, int thumbPos) = 0;
  // Timer 3: once a second, clock and stopwatch.
  virtual void OnClockTick() = 0;
  // Before the window closes: false keeps it open.
  virtual bool QueryClose() = 0;

  // A key or its menu entry.
  virtual void OnKeyCommand(KeyCommand command) = 0;
  // The right panel holds text being typed: a content edit or the state
  // text. The keys that type or undo there stay with it then.
  virtual bool RightPanelTyping() const { return false; }
  // What printing the whole timeline takes: every point the filters let
  // through and the range shown.
  virtual SheetSource WholeTimeline() = 0;
  // The events on the line under the current filters, in its order, for a
  // table or a deck.
  virtual std::vector<ListedEvent> LineEvents() { return {}; }
  // Writes `lines` into a new event file `name` titled `title` in the data
  // folder (never over an existing file) and reads it into the first empty
  // slot.
  virtual ImportOutcome ImportEvents(std::string_view /*name*/, std::string_view /*title*/,
                                     const std::vector<Sjis>& /*lines*/) {
    return {"このウィンドウでは読み込めません。", {}, std::nullopt};
  }
  // What the find window and the event dialogs work on; null where there
  // are no events to work on.
  virtual EventDesk* desk() { return nullptr; }

  // The study session behind the view, for the shell's own windows: they
  // run an operation on it and hand what it changed to Redraw. Null for a
  // view without one (the recorders of the window's tests).
  virtual StudySession* session() { return nullptr; }
  virtual void Redraw(const Changes& /*changes*/) {}

  // While the self-test window is open, editing is refused with a message.
  // Opening it is refused (false, with a message) while an edit is open.
  virtual bool SetSelfTestOpen(bool /*open*/) { return true; }
  // While set, a left click on the drawing area showing the timeline goes to
  // `taker` first (a running round); null stops it.
  virtual void OfferLineClicks(LineClickTaker* /*taker*/) {}
  // "結果を保存": saves the slots to the files they were read from.
  virtual void SaveSlots(const std::vector<int>&) {}
};

}  // namespace qev
