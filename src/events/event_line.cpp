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
  // One pass over the line for its six fields, then the reads by position.
  std::array<std::string_view, 6> fields{};
  std::size_t start = 0;
  for (std::string_view& field : fields) {
    const std::size_t end = line.find(';', start);
    field = line.substr(start, end == kNoPos ? kNoPos : end - start);
    if (end == kNoPos) break;
    start = end + 1;
  }
  EventFields e;
  e.dateField = fields[0];
  e.levelsField = fields[1];
  e.period = fields[2];
  e.event = fields[3];
  e.memo1 = fields[4];
  e.memo2 = fields[5];
  e.secondApproximate = TakeMark(e.period);
  e.firstApproximate = TakeMark(e.event);
  e.head = e.dateField.substr(0, kHeadLimit);
  e.secondDate = SecondDateText(line);
  e.importance = ByteAt(line, kImportancePos);
  e.memorisation = ByteAt(line, kMemorisationPos);
  e.first = ParseFileDate(e.head);
  e.second = ParseFileDate(e.secondDate);
  return e;
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
