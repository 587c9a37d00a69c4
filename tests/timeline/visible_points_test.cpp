#include "timeline/visible_points.h"

#include <gtest/gtest.h>

namespace qev {
namespace {

TimelinePoint Ad(int offset) {
  return {.bc = false, .offset1 = offset};
}
TimelinePoint Bc(int offset) {
  return {.bc = true, .offset1 = offset};
}
TimelinePoint AdRange(int offset, int endOffset) {
  return {.bc = false, .offset1 = offset, .hasEnd = true, .endBc = false, .offset2 = endOffset};
}

// Points at the given drawing-area x for an era line at 100.
VisiblePointList VisibleAt(std::initializer_list<int> xs, int width = 772) {
  std::vector<TimelinePoint> points;
  for (const int x : xs) points.push_back(x >= 100 ? Ad(x - 100) : Bc(100 - x));
  VisiblePointList list;
  list.RebuildVisiblePoints(points, 100, width);
  return list;
}

TEST(VisiblePoints, BothEdgesOfTheAreaAreInside) {
  // Point list order: BC far to near, then AD.
  const std::vector<TimelinePoint> points = {Bc(101), Bc(100), Bc(30), Ad(0), AdRange(600, 5000),
                                             Ad(672), Ad(673)};
  VisiblePointList list;
  list.RebuildVisiblePoints(points, 100, 772);
  ASSERT_EQ(list.size(), 5);
  const std::vector<VisiblePoint>& e = list.entries();
  EXPECT_EQ(e[0].x1, 0);
  EXPECT_EQ(e[0].pointIndex, 1u);
  EXPECT_EQ(e[1].x1, 70);
  EXPECT_EQ(e[2].x1, 100);
  EXPECT_FALSE(e[2].x2);
  // A range whose end lies far outside keeps both numbers.
  EXPECT_EQ(e[3].x1, 700);
  EXPECT_EQ(e[3].x2, 5100);
  EXPECT_EQ(e[4].x1, 772);
  EXPECT_EQ(e[4].pointIndex, 5u);
  EXPECT_EQ(list.firstVisibleIndex(), 1u);
  EXPECT_EQ(list.lastVisibleIndex(), 5u);
  EXPECT_EQ(list.randomBound(), 4);
}

TEST(VisiblePoints, NothingVisibleLeavesAnEmptyListAndTheRandomBound) {
  VisiblePointList list;
  EXPECT_EQ(list.randomBound(), 10);
  list.RebuildVisiblePoints({Ad(10), Ad(20)}, 0, 772);
  EXPECT_EQ(list.randomBound(), 1);
  list.RebuildVisiblePoints({Ad(10), Ad(20)}, 2000, 772);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.randomBound(), 1);
  EXPECT_EQ(list.Selected(), nullptr);

  for (auto select : {&VisiblePointList::SelectFirst, &VisiblePointList::SelectLast,
                      &VisiblePointList::SelectNext, &VisiblePointList::SelectPrevious}) {
    (list.*select)();
    EXPECT_EQ(list.selectedIndex(), 0);
  }
  list.SelectAtX(500, {800, 600});
  list.SelectRandom(3);
  EXPECT_EQ(list.selectedIndex(), 0);
  EXPECT_EQ(list.Selected(), nullptr);
}

TEST(VisiblePoints, SteppingStopsAtBothEnds) {
  VisiblePointList list = VisibleAt({10, 20, 30});
  list.SelectPrevious();
  EXPECT_EQ(list.selectedIndex(), 0);
  list.SelectNext();
  list.SelectNext();
  EXPECT_EQ(list.selectedIndex(), 2);
  list.SelectNext();
  EXPECT_EQ(list.selectedIndex(), 2);
  EXPECT_EQ(list.Selected()->x1, 30);
  list.SelectFirst();
  EXPECT_EQ(list.selectedIndex(), 0);
  list.SelectLast();
  EXPECT_EQ(list.selectedIndex(), 2);
  list.SelectRandom(1);
  EXPECT_EQ(list.selectedIndex(), 1);
}

TEST(VisiblePoints, SelectionOutlivingItsPointsStaysOnTheList) {
  VisiblePointList list = VisibleAt({10, 20, 30, 40});
  list.SelectLast();
  list.RebuildVisiblePoints({Ad(0), Ad(5)}, 100, 772);
  EXPECT_EQ(list.selectedIndex(), 1);
  list.SetSelectedIndex(7);
  EXPECT_EQ(list.selectedIndex(), 1);
  list.SelectRandom(-2);
  EXPECT_EQ(list.selectedIndex(), 0);
}

TEST(VisiblePoints, ClickSelectsTheFirstPointStrictlyRightOfIt) {
  const ScreenLayout layout{800, 600};  // the drawing area starts at view x 12
  VisiblePointList list = VisibleAt({100, 100, 200});
  list.SelectAtX(111, layout);
  EXPECT_EQ(list.selectedIndex(), 0);
  list.SelectAtX(112, layout);
  EXPECT_EQ(list.selectedIndex(), 2);
  list.SelectFirst();
  list.SelectAtX(700, layout);
  EXPECT_EQ(list.selectedIndex(), 2);
}

TEST(VisiblePoints, ClickMatchesTheMarksOnALargeScreen) {
  const ScreenLayout layout{1024, 768};  // the drawing area starts at view x 15
  VisiblePointList list = VisibleAt({100, 103, 200}, 988);
  // Just left of the mark at area x 103, that is view x 118.
  list.SelectAtX(117, layout);
  EXPECT_EQ(list.selectedIndex(), 1);
  list.SelectAtX(114, layout);
  EXPECT_EQ(list.selectedIndex(), 0);
  list.SelectAtX(115, layout);
  EXPECT_EQ(list.selectedIndex(), 1);
}

}  // namespace
}  // namespace qev
