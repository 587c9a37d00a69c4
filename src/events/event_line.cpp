#include "events/event_line.h"

#include <algorithm>

#include "text/byte_fields.h"

namespace qev {

std::string_view EventHead(std::string_view line) {
  return Head(line, ';', kHeadLimit);
}

std::string_view SecondDateText(std::string_view line) {
  std::string_view scanned = line.substr(0, std::min(line.size(), kDateScanLimit));
  std::size_t second = FindNth(scanned, ',', 2);
  if (second == kNoPos) return {};
  std::string_view rest = scanned.substr(second + 1);
  return rest.substr(0, rest.find(','));
}

}  // namespace qev
