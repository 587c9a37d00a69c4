#pragma once

#include <array>

#include "events/event_store.h"
#include "settings/display_settings.h"
#include "text/cp932.h"
#include "timeline/timeline_scale.h"

namespace qev {

// Every setting the operating-state text carries: the display settings, the
// zoom range, the scroll position, the selected point and, per file slot,
// what is loaded at start-up. Default values are those of a fresh start.
struct OperatingState {
  static constexpr int kSlotCount = EventStore::kSlotCount;
  static constexpr int kMinBrightness = 1;
  static constexpr int kMaxBrightness = 5;

  struct Slot {
    Sjis baseName;  // file name in qev_file without ".txt"
    Sjis label;     // "ファイル①".."ファイル⑩", or the title of the file read
    int loaded = 1;
    int on = 1;
  };

  DisplaySettings display;
  int rangeIndex = TimelineScale::kStartRange;
  int savedScrollPos = TimelineScale::kStartThumb;  // "POS"
  int selectedIndex = 0;                            // "Pt00"
  int timeUnit = 1;  // years per step of "単位=1年", the one unit there is
  std::array<Slot, kSlotCount> slots = InitialSlots();

  // Base names "歴史文書20".."歴史文書29", labels "ファイル①".."ファイル⑩",
  // every slot loaded and on.
  static std::array<Slot, kSlotCount> InitialSlots();
};

// The state text as the right information panel shows it and the state file
// stores it: lines 0 to 53, each ending in CR LF. Line 0 is the header line
// with `stateTitle` and `clockText`; lines 1 to 4 are the machine part, the
// rest describes every setting for the user and carries the slots' names.
Sjis ComposeStateText(const OperatingState& state, const Sjis& stateTitle, const Sjis& clockText);

// Reads a state text back: the digits of lines 1 to 4 and the base names of
// lines 38 to 47; every other line is documentation only. Labels go back to
// "ファイル①".."ファイル⑩" and selectedIndex to 0. A setting whose line is
// absent keeps its value from `current`. Every value comes back within its
// set (flags: only 1 is on; range 0..20, POS 0..700, pointDisplayMode 0..2,
// brightness 1..5), so the result is always safe to apply. The
// caller applies rangeIndex with TimelineScale::SetRange and savedScrollPos
// with TimelineScale::ScrollTo and the scroll bar's thumb.
OperatingState ReadOperatingState(const Sjis& text, const OperatingState& current);

}  // namespace qev
