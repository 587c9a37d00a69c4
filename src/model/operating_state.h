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

}  // namespace qev
