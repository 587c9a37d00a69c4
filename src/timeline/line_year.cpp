#include "timeline/line_year.h"

#include <algorithm>
#include <cstdlib>

namespace qev {
namespace {

// Years no event file reaches: the search for a year stops there.
constexpr int kLastYear = 99999;

// The year magnitude whose offset lies nearest to `offset` (>= 0); the
// offsets grow with the year, so the first year at or past it, or the one
// before, is it.
int YearAtOffset(const TimelineScale& scale, int offset) {
  int low = 0;
  int high = kLastYear;
  while (low < high) {
    const int mid = low + (high - low) / 2;
    if (scale.YearToOffset(mid) < offset) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  if (low > 0 && offset - scale.YearToOffset(low - 1) < scale.YearToOffset(low) - offset) {
    return low - 1;
  }
  return low;
}

}  // namespace

EraYear YearAtX(const TimelineScale& scale, int x) {
  const int offset = x - scale.originX();
  const int year = std::max(YearAtOffset(scale, std::abs(offset)), 1);
  return {offset < 0, year};
}

int YearsPerPixel(const TimelineScale& scale, int x) {
  const int here = YearAtX(scale, x).Signed();
  const int left = YearAtX(scale, x - 1).Signed();
  const int right = YearAtX(scale, x + 1).Signed();
  return std::max({std::abs(here - left), std::abs(right - here), 1});
}

}  // namespace qev
