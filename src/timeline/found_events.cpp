#include "timeline/found_events.h"

#include "text/byte_fields.h"
#include "timeline/date_text.h"

namespace qev {

std::vector<FoundEvent> FoundEvents(const std::vector<std::string_view>& lines,
                                    const std::vector<std::size_t>& found) {
  std::vector<FoundEvent> rows;
  rows.reserve(found.size());
  for (std::size_t i : found) {
    std::string_view text = Field(lines[i], ';', 3);
    if (ByteAt(text, 0) == '*') text.remove_prefix(1);
    rows.push_back({i, EventDateText(lines[i]), Sjis(text)});
  }
  return rows;
}

}  // namespace qev
