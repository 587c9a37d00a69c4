#include "timeline/point_pick.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace qev {
namespace {

TimelinePoint At(bool bc, int offset) {
  TimelinePoint p;
  p.bc = bc;
  p.offset1 = offset;
  return p;
}

TEST(PointPick, NearestPointToAYear) {
  const TimelineScale scale(ScreenLayout{800, 600});
  const int y100 = scale.YearToOffset(100);
  const int y200 = scale.YearToOffset(200);
  const std::vector<TimelinePoint> points{At(true, y200), At(false, y100), At(false, y200)};
  EXPECT_EQ(NearestPoint(points, scale, {true, 1000}), 0u);
  EXPECT_EQ(NearestPoint(points, scale, {true, 150}), 0u);
  EXPECT_EQ(NearestPoint(points, scale, {false, 140}), 1u);
  EXPECT_EQ(NearestPoint(points, scale, {false, 150}), 1u);  // as near: the earlier
  EXPECT_EQ(NearestPoint(points, scale, {false, 160}), 2u);
  EXPECT_EQ(NearestPoint(points, scale, {false, 9999}), 2u);
  EXPECT_FALSE(NearestPoint({}, scale, {false, 1}));
}

TEST(PointPick, RandomReachesEveryPoint) {
  std::mt19937 random(7);
  std::set<std::size_t> seen;
  for (int i = 0; i < 2000; ++i) seen.insert(*RandomPoint(50, random));
  EXPECT_EQ(seen.size(), 50u);
  EXPECT_FALSE(RandomPoint(0, random));
}

TEST(PointPick, MarkWithinFourPixels) {
  TimelineScale scale(ScreenLayout{800, 600});
  scale.SetOriginX(0);
  std::vector<TimelinePoint> points{At(false, 100), At(false, 106), At(false, 300)};
  VisiblePointList visible;
  visible.RebuildVisiblePoints(points, 0, scale.drawAreaWidth());
  const LineY at100 = scale.MarkAt(100);
  EXPECT_EQ(PointMarkAt(visible, scale, 100, at100.y), 0u);
  EXPECT_EQ(PointMarkAt(visible, scale, 96, at100.yHigh - 4), 0u);
  EXPECT_EQ(PointMarkAt(visible, scale, 104, at100.y), 1u);  // nearer to 106
  EXPECT_FALSE(PointMarkAt(visible, scale, 95, at100.y));
  EXPECT_FALSE(PointMarkAt(visible, scale, 100, at100.yLow + 5));
  EXPECT_FALSE(PointMarkAt(visible, scale, 200, scale.MarkAt(200).y));
}

}  // namespace
}  // namespace qev
