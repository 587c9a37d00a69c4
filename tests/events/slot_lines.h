#pragma once

#include <utility>
#include <vector>

#include "events/event_store.h"

namespace qev {

// A line added at the end of a slot under a new id, as a read would hold it.
inline EventId AppendLine(FileSlot& slot, Sjis line) {
  const std::size_t end = slot.Count();
  return slot.Insert(end, std::move(line));
}

// A slot's lines as they are now, kept across later changes.
inline std::vector<Sjis> LinesOf(const FileSlot& slot) {
  std::vector<Sjis> lines;
  for (std::string_view line : slot.lines()) lines.emplace_back(line);
  return lines;
}

}  // namespace qev
