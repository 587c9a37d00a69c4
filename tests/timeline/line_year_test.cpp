#include "timeline/line_year.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace qev {
namespace {

// At every range, on both sides of the era line and on slanted and flat
// segments, the year read at a year's place is one of the same pixel: the
// round trip year -> x -> year is within what one pixel spans.
TEST(LineYearTest, TheYearAtAYearsPlaceIsWithinOnePixelOfItAtEveryRange) {
  const int years[] = {-3000, -660, -1, 1, 57, 150, 794, 1192, 1600, 1867, 1945, 2024};
  for (const ScreenLayout layout : {ScreenLayout{800, 600}, ScreenLayout{1024, 768}}) {
    TimelineScale scale(layout);
    for (int range = 0; range < TimelineScale::kRangeCount; ++range) {
      scale.SetRange(range);
      for (const int year : years) {
        const EraYear era{year < 0, std::abs(year)};
        const int offset = scale.YearToOffset(era.year);
        scale.SetOriginX(layout.drawAreaWidth() / 2 + (era.bc ? offset : -offset));
        const int x = layout.drawAreaWidth() / 2;
        const EraYear back = YearAtX(scale, x);
        EXPECT_EQ(back.bc, era.bc && offset > 0) << range << " " << year;
        EXPECT_EQ(scale.YearToOffset(back.year), offset) << range << " " << year;
        EXPECT_LE(std::abs(back.Signed() - era.Signed()), YearsPerPixel(scale, x))
            << range << " " << year;
      }
    }
  }
}

}  // namespace
}  // namespace qev
