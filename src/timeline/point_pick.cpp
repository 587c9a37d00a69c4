#include "timeline/point_pick.h"

#include <algorithm>
#include <cstdlib>

namespace qev {
namespace {

// Pixels from the era line, BC negative: increases along the line.
long Position(const TimelinePoint& p) {
  return p.bc ? -static_cast<long>(p.offset1) : p.offset1;
}

}  // namespace

std::optional<std::size_t> NearestPoint(const std::vector<TimelinePoint>& points,
                                        const TimelineScale& scale, EraYear year) {
  if (points.empty()) return std::nullopt;
  const long offset = scale.YearToOffset(year.year);
  const long target = year.bc ? -offset : offset;
  const auto after = std::lower_bound(
      points.begin(), points.end(), target,
      [](const TimelinePoint& p, long position) { return Position(p) < position; });
  if (after == points.begin()) return 0;
  if (after == points.end()) return points.size() - 1;
  const auto before = std::prev(after);
  const bool earlier = target - Position(*before) <= Position(*after) - target;
  return static_cast<std::size_t>((earlier ? before : after) - points.begin());
}

std::optional<std::size_t> RandomPoint(std::size_t count, std::mt19937& random) {
  if (count == 0) return std::nullopt;
  return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
}

std::optional<std::size_t> PointMarkAt(const VisiblePointList& visible, const TimelineScale& scale,
                                       int x, int y) {
  const std::vector<VisiblePoint>& entries = visible.entries();
  auto it = std::lower_bound(entries.begin(), entries.end(), x - kMarkReach,
                             [](const VisiblePoint& p, int left) { return p.x1 < left; });
  std::optional<std::size_t> best;
  int bestDistance = kMarkReach + 1;
  for (; it != entries.end() && it->x1 <= x + kMarkReach; ++it) {
    const LineY mark = scale.MarkAt(it->x1);
    const int dy = y < mark.yHigh ? mark.yHigh - y : y > mark.yLow ? y - mark.yLow : 0;
    const int distance = std::max(std::abs(x - it->x1), dy);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = static_cast<std::size_t>(it - entries.begin());
    }
  }
  return best;
}

}  // namespace qev
