#include "model/random_index.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <set>

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
    std::set<int> seen;
    for (std::int64_t t = 50; t < 3'000; t += 7) {
      int v = r.Value(t);
      ASSERT_LE(v, bound);
      seen.insert(v);
    }
    // The index moves: a click a little later picks another point.
    if (bound > 1) {
      EXPECT_GT(seen.size(), 1u) << bound;
    }
    EXPECT_LE(r.Value(std::numeric_limits<std::int64_t>::max()), bound);
  }
  // The widest span of time there is, reduced without overflowing:
  // (2^64 - 1) * 12346 modulo 2^31.
  r.Reset(std::numeric_limits<int>::max(), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(r.Value(std::numeric_limits<std::int64_t>::max()), 2147483648 - 12346);
}

}  // namespace
}  // namespace qev
