#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "text/cp932.h"

namespace qev {

// A search result as the find window lists it: the date as the panels write
// it and the event text without its approximate mark.
struct FoundEvent {
  std::size_t index = 0;  // in the list of lines searched
  Sjis date;
  Sjis text;
};

// The rows of the events `found` among `lines`, in the order found.
std::vector<FoundEvent> FoundEvents(const std::vector<std::string_view>& lines,
                                    const std::vector<std::size_t>& found);

}  // namespace qev
