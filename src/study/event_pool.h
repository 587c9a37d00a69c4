#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "events/event_id.h"
#include "events/event_store.h"
#include "events/timeline_point.h"
#include "text/cp932.h"

namespace qev {

// An event's line as the host holds it, with its file's base name; the
// views stay valid until the slots change.
struct PoolLine {
  std::string_view baseName;
  std::string_view line;
};

// Where each slot's lines were when last looked at (their revisions).
using LinesStamp = std::array<std::uint64_t, EventStore::kSlotCount>;

// One event of the pool with its line.
struct PoolEvent {
  EventId id;  // its slot included
  std::string_view baseName;
  std::string_view line;
  char memorisation = '\0';  // the line's memorisation digit
};

// An event a question asks, copied out of the pool.
struct StudyEvent {
  EventId id;     // its slot included
  Sjis baseName;  // of the slot's file
  Sjis line;
};

// The events a round may ask: those on the timeline under the current
// filters and slot switches.
class EventPool {
 public:
  virtual ~EventPool() = default;
  // Every event of the pool, in timeline order, with its memorisation
  // digit; valid until the points change.
  virtual const std::vector<TimelinePoint>& PoolPoints() = 0;
  // The lines of points of the pool, in their order; nothing for a point
  // whose line is gone.
  virtual std::vector<std::optional<PoolLine>> LinesOf(
      std::span<const TimelinePoint* const> points) = 0;
  // The events the learner has confused with `event` (EventKey), most
  // recent first.
  virtual std::vector<std::uint64_t> ConfusedWith(std::uint64_t /*event*/) { return {}; }
  // The events whose lines were replaced since `stamp`, which moves on to
  // now; nothing when the lines may have changed more than that (then
  // whatever was kept of them is to be read again).
  virtual std::optional<std::vector<EventId>> ReplacedSince(LinesStamp& /*stamp*/) {
    return std::nullopt;
  }
};

}  // namespace qev
