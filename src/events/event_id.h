#pragma once

#include <cstdint>

namespace qev {

// An event line's identity: its slot and a number no other line of this
// run has had. It stays with the line while lines are inserted into or
// removed from the slot, for as long as the slot holds it; reading, erasing
// or restoring the slot gives every line a new one. Never written to files.
struct EventId {
  int slot = -1;
  std::uint64_t serial = 0;  // 0: no event
  bool valid() const { return serial != 0; }
  friend bool operator==(const EventId&, const EventId&) = default;
};

}  // namespace qev
