#pragma once

#include <utility>

#include "events/event_store.h"

namespace qev {

// A line added at the end of a slot under a new id, as a read would hold it.
inline EventId AppendLine(FileSlot& slot, Sjis line) {
  const std::size_t end = slot.Count();
  return slot.Insert(end, std::move(line));
}

}  // namespace qev
