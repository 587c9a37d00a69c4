#pragma once

#include "events/event_id.h"

// What the model's operations take, and what they say they changed: the
// view turns a Changes into redraws in one place.
namespace qev {

// The on/off switches of the display settings that a click flips.
enum class DisplaySwitch {
  kShowYear,
  kShowImportance,    // with importanceToPanel
  kShowMemorisation,  // with memorisationToPanel
  kShowEventLeft,
  kShowEventRight,
  kShowMemo1,
  kShowMemo2,
  kFilterPriority,
  kYearDisplayMode,
  kTextSize,
};

// The display settings a click steps through their values.
enum class SteppedSetting { kPointDisplayMode, kBrightness };

// The two levels of an event.
enum class Level { kImportance, kMemorisation };

// Where a selection step goes.
enum class SelectionStep { kFirst, kLast, kPrevious, kNext, kRandom };

// What an operation changed, for the view to redraw. Each flag names what
// the user sees change; the view draws each surface once, however many
// flags ask for it.
struct Changes {
  bool refreshed = false;     // the point list rebuilt, the first point selected: everything
  bool scrolled = false;      // the line moved: scroll thumb and timeline
  bool points = false;        // the points on the line: timeline and control panel
  bool look = false;          // how the line is drawn: timeline
  bool selection = false;     // the selection or its event: marks, panels, control panel
  bool panels = false;        // what the information panels show, and the control panel
  bool controlPanel = false;  // the control panel alone
  bool lines = false;         // an event line changed: what finding and listing show

  Changes& operator|=(const Changes& o) {
    refreshed |= o.refreshed;
    scrolled |= o.scrolled;
    points |= o.points;
    look |= o.look;
    selection |= o.selection;
    panels |= o.panels;
    controlPanel |= o.controlPanel;
    lines |= o.lines;
    return *this;
  }
  bool any() const {
    return refreshed || scrolled || points || look || selection || panels || controlPanel || lines;
  }
};

// Where an event stands on the line after an operation that wants it shown.
enum class EventPlace {
  kSelected,     // on the line, in view and selected
  kNoSuchEvent,  // no loaded slot holds it (any more)
  kSlotOff,      // its slot is switched off or not loaded
  kFilteredOut,  // the level filters leave it out, or its date is no date
};

// An operation's outcome: what became of the event it is about (for an
// insert the new one, for a removal the neighbour selected instead) and
// what to redraw.
struct EventOutcome {
  EventPlace place = EventPlace::kNoSuchEvent;
  EventId id;
  Changes changes;
  bool selected() const { return place == EventPlace::kSelected; }
};

}  // namespace qev
