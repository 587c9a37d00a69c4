#include "timeline/timeline_scale.h"

#include <gtest/gtest.h>

#include <limits>

#include "events/timeline_point.h"

namespace qev {
namespace {

constexpr ScreenLayout k800{800, 600};
constexpr ScreenLayout k1024{1024, 768};

TimelineScale AtRange(const ScreenLayout& layout, int range) {
  TimelineScale scale(layout);
  scale.SetRange(range);
  return scale;
}

struct RangeRow {
  int range;
  int segment800, baseline800;
  int segment1024, baseline1024;
  int cycles;
  bool halfTicks;
};

constexpr RangeRow kRangeTable[] = {
    {0, 7, 243, 7, 311, 95, false},     {1, 11, 247, 10, 315, 75, false},
    {2, 15, 252, 14, 320, 75, false},   {3, 19, 256, 18, 324, 75, true},
    {4, 23, 261, 22, 329, 75, true},    {5, 30, 265, 30, 333, 25, true},
    {6, 42, 270, 42, 338, 15, true},    {7, 54, 274, 53, 342, 15, true},
    {8, 65, 279, 64, 347, 15, true},    {9, 77, 283, 76, 351, 15, true},
    {10, 96, 288, 96, 356, 10, true},   {11, 115, 292, 115, 360, 10, true},
    {12, 135, 297, 134, 365, 10, true}, {13, 154, 301, 153, 369, 4, true},
    {14, 173, 306, 173, 374, 4, true},  {15, 193, 310, 192, 378, 4, true},
    {16, 212, 315, 211, 383, 3, true},  {17, 231, 319, 231, 387, 3, true},
    {18, 250, 324, 250, 392, 3, true},  {19, 270, 328, 269, 396, 3, true},
    {20, 289, 333, 289, 401, 3, true},
};

TEST(TimelineScale, EveryRangeAtBothScreenSizes) {
  for (const RangeRow& row : kRangeTable) {
    SCOPED_TRACE(row.range);
    const TimelineScale small = AtRange(k800, row.range);
    EXPECT_EQ(small.segmentWidth(), row.segment800);
    EXPECT_EQ(small.baselineY(), row.baseline800);
    EXPECT_EQ(small.cycleCount(), row.cycles);
    EXPECT_EQ(small.halfTicks(), row.halfTicks);
    const TimelineScale large = AtRange(k1024, row.range);
    EXPECT_EQ(large.segmentWidth(), row.segment1024);
    EXPECT_EQ(large.baselineY(), row.baseline1024);
    EXPECT_EQ(large.cycleCount(), row.cycles);
  }
}

TEST(TimelineScale, CenturyAndMillenniumSizesAtRangeNine) {
  const TimelineScale small = AtRange(k800, 9);
  EXPECT_EQ(small.segmentWidth(), 77);
  EXPECT_EQ(small.flatWidth(), 108);
  EXPECT_EQ(small.cycleWidth(), 925);
  EXPECT_EQ(small.baselineY() - small.LineYAt(small.originX() + 77)->y, 77);
  const TimelineScale large = AtRange(k1024, 9);
  EXPECT_EQ(large.segmentWidth(), 76);
  EXPECT_EQ(large.flatWidth(), 107);
  EXPECT_EQ(large.cycleWidth(), 915);
}

TEST(TimelineScale, StartUpValuesFollowTheScreenWidth) {
  const TimelineScale small(k800);
  EXPECT_EQ(small.rangeIndex(), 7);
  EXPECT_EQ(small.originX(), -620);
  EXPECT_EQ(small.fontHeight(), 12);
  EXPECT_EQ(small.drawAreaWidth(), 772);
  EXPECT_EQ(small.drawAreaHeight(), 393);
  const TimelineScale large(k1024);
  EXPECT_EQ(large.originX(), -793);
  EXPECT_EQ(large.fontHeight(), 14);
  EXPECT_EQ(large.drawAreaWidth(), 988);
  EXPECT_EQ(large.drawAreaHeight(), 503);
  EXPECT_EQ(TimelineScale::kStartThumb, 346);
}

TEST(TimelineScale, YearOffsets) {
  const TimelineScale scale = AtRange(k800, 9);
  const int seg = scale.segmentWidth();
  EXPECT_EQ(scale.YearToOffset(0), 0);
  EXPECT_EQ(scale.YearToOffset(100), seg);
  EXPECT_EQ(scale.YearToOffset(150), seg + 50 * seg / 71);
  EXPECT_EQ(scale.YearToOffset(1000), scale.cycleWidth());
  const int flat = scale.flatWidth();
  EXPECT_EQ(scale.YearToOffset(2345), 2 * scale.cycleWidth() + 2 * seg + flat + 45 * seg / 71);
  EXPECT_EQ(scale.YearToOffset(2445), 2 * scale.cycleWidth() + 2 * seg + 2 * flat + 45 * seg / 100);
}

// The visible points are one run of the point list only because later years
// never lie left of earlier ones.
TEST(TimelineScale, OffsetsNeverDecreaseWithTheYear) {
  for (const int range : {0, 7, 20}) {
    const TimelineScale scale = AtRange(k1024, range);
    for (int year = 1; year <= 9999; ++year) {
      ASSERT_LE(scale.YearToOffset(year - 1), scale.YearToOffset(year)) << range << " " << year;
    }
  }
}

// A year read from a malformed line can be as large as an int holds: its
// point lies far beyond the last one, never back near the era line, and its
// x for any era line still fits an int.
TEST(TimelineScale, HugeYearsLieFarBeyondTheLastYear) {
  for (const int range : {0, 20}) {
    TimelineScale scale = AtRange(k1024, range);
    for (const int year : {99999999, std::numeric_limits<int>::max()}) {
      SCOPED_TRACE(year);
      const int offset = scale.YearToOffset(year);
      EXPECT_GT(offset, scale.YearToOffset(9999));
      for (const int pos : {0, 700}) {
        scale.ScrollTo(pos);
        const TimelinePoint point{.bc = pos == 700, .offset1 = offset};
        const int x = point.StartX(scale.originX());
        EXPECT_TRUE(x > scale.drawAreaWidth() || x < 0);
      }
    }
  }
}

TEST(TimelineScale, LineHeightAlongOneCycleOnBothSides) {
  TimelineScale scale = AtRange(k800, 9);
  scale.ScrollTo(350);
  const int o = scale.originX();
  const int base = scale.baselineY();
  const int upper = base - scale.segmentWidth();
  EXPECT_EQ(scale.LineYAt(o)->y, base);
  EXPECT_EQ(scale.LineYAt(o)->yLow, base + 3);
  EXPECT_EQ(scale.LineYAt(o)->yHigh, base - 3);
  // Each century boundary lies where the year offsets put it.
  const int levels[] = {base, upper, upper, base, base, upper, upper, base, base, upper};
  for (int s = 0; s < 10; ++s) {
    SCOPED_TRACE(s);
    const int offset = scale.YearToOffset(100 * s);
    EXPECT_EQ(scale.LineYAt(o + offset)->y, levels[s]);
    EXPECT_EQ(scale.LineYAt(o - offset)->y, levels[s]);
  }
  // Half way up the first slant, and down the second.
  EXPECT_EQ(scale.LineYAt(o + 30)->y, base - 30);
  EXPECT_EQ(scale.LineYAt(o - 30)->y, base - 30);
  EXPECT_EQ(scale.LineYAt(o + scale.SegmentStart(2) + 10)->y, upper + 10);
}

TEST(TimelineScale, MillenniumBoundaryBreaksBackToTheLowerLevel) {
  TimelineScale scale = AtRange(k800, 20);
  scale.SetOriginX(0);
  const int cycle = scale.cycleWidth();
  const int gap = scale.flatWidth() / 100;
  ASSERT_EQ(gap, 4);
  const int upper = scale.baselineY() - scale.segmentWidth();
  EXPECT_EQ(scale.LineYAt(cycle - gap - 1)->y, upper);
  EXPECT_EQ(scale.LineYAt(cycle)->y, scale.baselineY());
  EXPECT_EQ(scale.LineYAt(cycle + 1)->y, scale.baselineY() - 1);
  EXPECT_EQ(scale.LineYAt(-cycle - 1)->y, scale.baselineY() - 1);
}

TEST(TimelineScale, NoHeightInTheCycleEndGapNorFrom25CyclesOn) {
  TimelineScale scale = AtRange(k800, 20);
  scale.SetOriginX(0);
  const int cycle = scale.cycleWidth();
  const int upper = scale.baselineY() - scale.segmentWidth();
  for (const int x : {cycle - 4, cycle - 1, -(2 * cycle - 1)}) {
    SCOPED_TRACE(x);
    EXPECT_FALSE(scale.LineYAt(x));
    // A mark there sits on the flat piece the gap cuts short.
    EXPECT_EQ(scale.MarkAt(x).y, upper);
    EXPECT_EQ(scale.MarkAt(x).yLow, upper + 3);
  }

  EXPECT_EQ(scale.LineYAt(24 * cycle + 5)->y, scale.baselineY() - 5);
  EXPECT_FALSE(scale.LineYAt(25 * cycle));
  EXPECT_FALSE(scale.LineYAt(-(25 * cycle + 5)));
  // Beyond the cap a mark follows the line as drawn.
  EXPECT_EQ(scale.MarkAt(25 * cycle + 5).y, scale.baselineY() - 5);
  EXPECT_EQ(scale.MarkAt(-(30 * cycle + scale.SegmentStart(3))).y, scale.baselineY());
}

TEST(TimelineScale, ScrollPositionAndEraLineBothWays) {
  TimelineScale scale(k800);
  scale.ScrollTo(350);
  EXPECT_EQ(scale.originX(), 350);
  scale.ScrollTo(351);
  EXPECT_EQ(scale.originX(), 330);
  scale.ScrollTo(0);
  EXPECT_EQ(scale.originX(), 7350);
  scale.ScrollTo(700);
  EXPECT_EQ(scale.originX(), -6650);
  scale.ScrollTo(900);
  EXPECT_EQ(scale.scrollPos(), 700);
  scale.ScrollTo(-3);
  EXPECT_EQ(scale.scrollPos(), 0);
  for (int pos = 0; pos <= 700; ++pos) {
    ASSERT_EQ(TimelineScale::ThumbForOriginX(TimelineScale::OriginXForScrollPos(pos)), pos);
  }
  // Truncation toward zero, and the scroll bar's span.
  EXPECT_EQ(TimelineScale::ThumbForOriginX(-620), 398);
  EXPECT_EQ(TimelineScale::ThumbForOriginX(100000), 0);
  EXPECT_EQ(TimelineScale::ThumbForOriginX(-100000), 700);
}

TEST(TimelineScale, ChangeRangeWrapsAndRescalesAboutTheLeftEdge) {
  TimelineScale scale(k800);
  scale.ScrollTo(350);
  EXPECT_EQ(scale.ChangeRange(+1), 347);  // 350 - (421 - 350) / 20
  EXPECT_EQ(scale.rangeIndex(), 8);
  EXPECT_EQ(scale.segmentWidth(), 65);
  EXPECT_EQ(scale.originX(), 350 * 65 / 54);
  EXPECT_EQ(scale.scrollPos(), 350);
  EXPECT_EQ(scale.cycleWidth(), 5 * (65 + 65 * 100 / 71));
  EXPECT_EQ(scale.baselineY(), 279);

  scale.SetRange(20);
  scale.SetOriginX(0);
  scale.ChangeRange(+1);
  EXPECT_EQ(scale.rangeIndex(), 0);
  EXPECT_EQ(scale.originX(), 0);
  EXPECT_EQ(scale.segmentWidth(), 7);
  scale.ChangeRange(-1);
  EXPECT_EQ(scale.rangeIndex(), 20);
  EXPECT_EQ(scale.originX(), 0);
  EXPECT_EQ(scale.segmentWidth(), 289);
}

TEST(TimelineScale, ARangeFromOutsideTheSpanIsTakenAtItsNearestEnd) {
  TimelineScale scale(k800);
  scale.SetRange(99);
  EXPECT_EQ(scale.rangeIndex(), 20);
  EXPECT_EQ(scale.segmentWidth(), 289);
  scale.SetRange(-4);
  EXPECT_EQ(scale.rangeIndex(), 0);
  EXPECT_EQ(scale.segmentWidth(), 7);
}

// Other widths keep the 800-pixel segment sizes, so the zigzag keeps to the
// drawing area.
TEST(TimelineScale, WideScreenLineStaysInsideTheDrawingArea) {
  const TimelineScale scale = AtRange({1920, 1080}, 20);
  EXPECT_EQ(scale.segmentWidth(), 289);
  EXPECT_EQ(scale.fontHeight(), 14);
  EXPECT_EQ(scale.originX(), -1488);
  for (int x = 0; x <= scale.drawAreaWidth(); ++x) {
    const LineY line = scale.MarkAt(x);
    ASSERT_GE(line.yHigh, 0) << x;
    ASSERT_LE(line.yLow, scale.drawAreaHeight()) << x;
  }
}

}  // namespace
}  // namespace qev
