#pragma once

#include <cstdint>

#include "events/event_id.h"

namespace qev {

// One point of the timeline, read from its point-list key and placed entry:
// where it lies (pixel offsets from the era line, on the side of its era)
// and which slot line it comes from.
struct TimelinePoint {
  bool bc = false;      // start era: BC (left of the era line) or AD
  int offset1 = 0;      // start offset from the era line, pixels
  bool hasEnd = false;  // a second date (range end)
  bool endBc = false;   // end era
  // The line's memorisation digit, so that a self-test round reads the
  // levels without touching every line.
  char memorisation = '\0';
  int offset2 = 0;  // end offset, pixels
  int slot = 0;     // FileSlot index 0..9
  int line = 0;     // index of the event line in the slot when listed
  // The event line's id, kept as its serial beside `slot` so that a point
  // stays small: the drawing and every rebuild run over all points.
  std::uint64_t serial = 0;

  EventId id() const { return {slot, serial}; }

  // Drawing-area x of the start and of the end for the era line at originX.
  int StartX(int originX) const { return bc ? originX - offset1 : originX + offset1; }
  int EndX(int originX) const { return endBc ? originX - offset2 : originX + offset2; }
};

}  // namespace qev
