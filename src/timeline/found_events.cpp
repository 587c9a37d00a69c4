#include "timeline/found_events.h"

#include "timeline/date_text.h"

namespace qev {

std::vector<FoundEvent> FoundEvents(const std::vector<std::string_view>& lines,
                                    const std::vector<std::size_t>& found) {
  std::vector<FoundEvent> rows;
  rows.reserve(found.size());
  for (std::size_t i : found) {
    const EventFields event = ParseEvent(lines[i]);
    rows.push_back({i, EventDateText(event), Sjis(event.event)});
  }
  return rows;
}

}  // namespace qev
