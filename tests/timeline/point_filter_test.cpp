#include "timeline/point_filter.h"

#include <gtest/gtest.h>

namespace qev {
namespace {

TEST(PassesFilter, OnlyTheLevelThePriorityNamesCounts) {
  DisplaySettings s;
  s.importanceFilter = {0, 0, 0, 1, 0, 0};  // only ③
  s.memorisationFilter = {0, 1, 1, 1, 1, 1};
  s.filterPriority = 0;
  EXPECT_TRUE(PassesFilter(s, '3', '9'));   // the memorisation level is ignored
  EXPECT_FALSE(PassesFilter(s, '2', '3'));  // hidden though ③ memorisation is on
  for (char c : {'0', '6', 'x', '\0'}) EXPECT_FALSE(PassesFilter(s, c, '3')) << c;

  s.filterPriority = 1;
  EXPECT_TRUE(PassesFilter(s, '2', '3'));
  EXPECT_TRUE(PassesFilter(s, '0', '5'));
  EXPECT_FALSE(PassesFilter(s, '3', '0'));
  s.memorisationFilter[5] = 0;
  EXPECT_FALSE(PassesFilter(s, '3', '5'));

  // All importance flags off under 重要度優先: nothing passes.
  s.filterPriority = 0;
  s.importanceFilter = {0, 0, 0, 0, 0, 0};
  for (char c = '1'; c <= '5'; ++c) EXPECT_FALSE(PassesFilter(s, c, c));
}

TEST(PassesFilter, ReadsTheLevelsOfALineAtBytes7And9) {
  DisplaySettings s;
  s.filterPriority = 1;
  EXPECT_TRUE(PassesFilter(s, "AD0710;0,2,,;a;b;c;d;"));
  EXPECT_FALSE(PassesFilter(s, "AD0710;2,0,,;a;b;c;d;"));
  // A line too short to hold the digit never passes.
  EXPECT_FALSE(PassesFilter(s, "AD0710;2,"));
  EXPECT_FALSE(PassesFilter(s, ""));
}

}  // namespace
}  // namespace qev
