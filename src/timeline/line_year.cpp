#include "timeline/line_year.h"

#include <algorithm>
#include <cstdlib>

namespace qev {
namespace {

// Years no event file reaches: the search for a year stops there.
constexpr int kLastYear = 99999;

// The first year magnitude whose offset is at least `offset`; the offsets
// grow with the year.
int FirstYearAt(const TimelineScale& scale, int offset) {
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
  return low;
}

// The year magnitude at `offset` (>= 0): the middle one of the years that
// pixel holds, else the nearest.
int YearAtOffset(const TimelineScale& scale, int offset) {
  const int first = FirstYearAt(scale, offset);
  if (scale.YearToOffset(first) == offset) {
    const int last = FirstYearAt(scale, offset + 1) - 1;
    return first + (last - first) / 2;
  }
  if (first > 0 && offset - scale.YearToOffset(first - 1) < scale.YearToOffset(first) - offset) {
    return first - 1;
  }
  return first;
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
