#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "events/event_date.h"
#include "events/event_id.h"
#include "text/cp932.h"

namespace qev {

// Why an event of a loaded slot is not a point of the line (kGone: no slot
// holds it any more).
enum class OffLine { kOnLine, kFilteredOut, kSlotOff, kGone };

struct DeskEvent {
  EventId key;  // the same event for as long as its slot holds it
  int slot = 0;
  std::string_view line;  // valid until the events change
  OffLine off = OffLine::kOnLine;
};

// What the find window, the event dialog and the other event commands of the
// window ask of the program. Every operation redraws what it changed.
class EventDesk {
 public:
  virtual ~EventDesk() = default;

  // Every event of the loaded slots, slot by slot in file order.
  virtual std::vector<DeskEvent> Events() = 0;
  // Changes whenever Events() would give something else.
  virtual std::uint64_t EventsVersion() const = 0;
  virtual Sjis SlotLabel(int slot) const = 0;
  // The slots that hold a file, in slot order.
  virtual std::vector<int> LoadedSlots() const = 0;
  virtual std::optional<DeskEvent> SelectedEvent() = 0;
  // Why no event may be changed now (UTF-8): a content edit is under way in
  // the right panel, or the self-test is open. Empty when one may.
  virtual std::string EditRefusal() const = 0;
  // Why finding, going to a year and a random selection are refused now
  // (UTF-8): a question of the self-test is open. Empty when they may.
  virtual std::string SelectRefusal() const = 0;

  // Selects the event with the timeline scrolled so that it is in view
  // (kOnLine), or says why it is not on the line.
  virtual OffLine JumpToEvent(EventId key) = 0;
  // Selects the point nearest to the year; false without points.
  virtual bool GoToYear(EraYear year) = 0;
  // Selects one of all the points of the line at random.
  virtual void SelectRandomOnLine() = 0;
  // The date and text of the point whose mark is under the view position.
  virtual std::optional<std::string> PointTipAt(int x, int y) = 0;

  // The changes of an event line, each undoable; the changed event is then
  // the selected point. A new line goes where InsertionIndex puts it, an
  // edited one stays where it was. False when the slot or the event is gone.
  virtual bool AddEvent(int slot, Sjis line) = 0;
  virtual bool ReplaceEvent(EventId key, Sjis line) = 0;
  virtual bool DeleteEvent(EventId key) = 0;
};

}  // namespace qev
