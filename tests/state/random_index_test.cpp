#include "state/random_index.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace qev {
namespace {

TEST(RandomIndex, AdvancesTwelveThousandStepsPerMillisecondWrappingPastTheBound) {
  RandomIndex r;
  EXPECT_EQ(r.randomBound(), 10);  // before the first rebuild
  r.Reset(10, 1'000);
  EXPECT_EQ(r.Value(1'000), 0);
  EXPECT_EQ(r.Value(1'001), 12346 % 11);
  EXPECT_EQ(r.Value(1'002), 2 * 12346 % 11);
  r.Reset(0, 1'002);
  EXPECT_EQ(r.Value(5'000), 0);
  // No visible point: nothing to pick, and no division by zero.
  r.Reset(-1, 0);
  EXPECT_EQ(r.Value(12'345), 0);
}

TEST(RandomIndex, StaysWithinTheBoundAlsoAfterItShrinks) {
  RandomIndex r;
  for (int bound : {10'000, 999, 37, 3, 1}) {
    r.Reset(bound, 50);
    for (std::int64_t t = 50; t < 3'000; t += 7) {
      int v = r.Value(t);
      ASSERT_GE(v, 0);
      ASSERT_LE(v, bound);
    }
    int far = r.Value(std::numeric_limits<std::int64_t>::max());
    EXPECT_GE(far, 0);
    EXPECT_LE(far, bound);
  }
  r.Reset(std::numeric_limits<int>::max(), std::numeric_limits<std::int64_t>::min());
  EXPECT_GE(r.Value(std::numeric_limits<std::int64_t>::max()), 0);
}

}  // namespace
}  // namespace qev
