#include "events/event_line.h"

#include <algorithm>

#include "text/byte_fields.h"

namespace qev {
namespace {

constexpr char kApproximateMark = '*';

bool TakeMark(std::string_view& text) {
  if (ByteAt(text, 0) != kApproximateMark) return false;
  text.remove_prefix(1);
  return true;
}

}  // namespace

EventFields ParseEvent(std::string_view line) {
  // Field n runs from after the n-th ";" up to the next one (or the end);
  // it is empty when the line has fewer than n of them.
  std::array<std::string_view, 6> fields{};
  std::size_t start = 0;
  for (std::string_view& f : fields) {
    const std::size_t end = line.find(';', start);
    f = line.substr(start, end == kNoPos ? kNoPos : end - start);
    if (end == kNoPos) break;
    start = end + 1;
  }
  std::string_view period = fields[2];
  std::string_view event = fields[3];
  const bool secondApproximate = TakeMark(period);
  const bool firstApproximate = TakeMark(event);
  const std::string_view head = fields[0].substr(0, kHeadLimit);
  const std::string_view secondDate = SecondDateText(line);
  const EventLevels levels = LevelsOf(line);
  // Every member named, so that nothing is cleared first.
  return EventFields{.dateField = fields[0],
                     .levelsField = fields[1],
                     .period = period,
                     .event = event,
                     .memo1 = fields[4],
                     .memo2 = fields[5],
                     .firstApproximate = firstApproximate,
                     .secondApproximate = secondApproximate,
                     .head = head,
                     .secondDate = secondDate,
                     .importance = levels.importance,
                     .memorisation = levels.memorisation,
                     .first = ParseFileDate(head),
                     .second = ParseFileDate(secondDate)};
}

std::array<std::string_view, 3> EventFields::LevelParts() const {
  std::array<std::string_view, 3> parts{};
  std::size_t start = 0;
  for (std::string_view& part : parts) {
    const std::size_t end = levelsField.find(',', start);
    part = levelsField.substr(start, end == kNoPos ? kNoPos : end - start);
    if (end == kNoPos) break;
    start = end + 1;
  }
  return parts;
}

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
