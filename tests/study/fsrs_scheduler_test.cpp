#include "study/fsrs_scheduler.h"

#include <gtest/gtest.h>

namespace qev {
namespace {

TEST(FsrsSchedulerTest, TheLevelDigitTellsTheStabilityBand) {
  const struct {
    double stability;
    int level;
  } cases[] = {{0.001, 1}, {0.212, 1}, {0.999, 1}, {1.0, 2},  {2.3065, 2}, {2.999, 2},
               {3.0, 3},   {6.99, 3},  {7.0, 4},   {20.9, 4}, {21.0, 5},   {36500, 5}};
  for (const auto& c : cases) EXPECT_EQ(LevelOfStability(c.stability), c.level) << c.stability;
}

// A card answered good once (stability 2.3065 days) on day 100: due when
// its recall falls to the retention, the interval rounded, a day at least.
TEST(FsrsSchedulerTest, ACardFallsDueWhenItsRecallFallsToTheRetention) {
  const CardMemory memory{{2.3065, 5.0}, 100};
  const struct {
    double retention;
    int due;
  } cases[] = {{0.90, 102}, {0.80, 108}, {0.70, 121}, {0.97, 101}};
  for (const auto& c : cases) {
    EXPECT_EQ(DueDayOfMemory(memory, c.retention, kDefaultMemoryParameters), c.due) << c.retention;
  }
}

}  // namespace
}  // namespace qev
