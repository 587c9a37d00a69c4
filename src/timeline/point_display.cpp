#include "timeline/point_display.h"

#include <algorithm>
#include <array>
#include <optional>

#include "text/byte_fields.h"

namespace qev {

std::string_view LevelSymbol(char digit) {
  static const std::array<const Sjis*, 6> symbols{&"○"_sj, &"①"_sj, &"②"_sj,
                                                  &"③"_sj, &"④"_sj, &"⑤"_sj};
  if (digit < '0' || digit > '5') return {};
  return *symbols[static_cast<std::size_t>(digit - '0')];
}

int CircledLevel(std::string_view symbol) {
  for (char digit = '1'; digit <= '5'; ++digit) {
    if (symbol == LevelSymbol(digit)) return digit - '0';
  }
  return 0;
}

void BlankYearZeros(Sjis& date, std::size_t end) {
  end = std::min(end, date.size());
  for (std::size_t pos = 2; pos <= 4 && pos < end && date[pos] == '0'; ++pos) date[pos] = ' ';
}

Sjis FormatPointLine(std::string_view line) {
  Sjis out;
  out.reserve(line.size() + 2);
  out.assign(line);

  const std::size_t firstSemi = std::min(line.find(';'), line.size());
  BlankYearZeros(out, firstSemi);

  const std::size_t importancePos = firstSemi + 1;
  std::string_view symbol = LevelSymbol(ByteAt(out, importancePos));
  if (symbol.empty()) return out;
  out.replace(importancePos, 1, symbol);

  // The memorisation digit follows the two-byte symbol and a ",".
  const std::size_t memorisationPos = importancePos + 3;
  if (ByteAt(out, memorisationPos - 1) != ',') return out;
  symbol = LevelSymbol(ByteAt(out, memorisationPos));
  if (!symbol.empty()) out.replace(memorisationPos, 1, symbol);
  return out;
}

Sjis PointDisplayLine(const VisiblePointList& visible, const std::vector<TimelinePoint>& points,
                      const EventStore& store, std::size_t index) {
  if (index >= visible.entries().size()) return {};
  const TimelinePoint& p = points[visible.entries()[index].pointIndex];
  const FileSlot& slot = store.slots[static_cast<std::size_t>(p.slot)];
  std::optional<std::size_t> line = slot.IndexOf(p.id(), static_cast<std::size_t>(p.line));
  if (!line) return {};
  return FormatPointLine(slot.Line(*line));
}

}  // namespace qev
