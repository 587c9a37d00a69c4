#include "study/schedule.h"

#include <gtest/gtest.h>

#include "study/study_time.h"

namespace qev {
namespace {

constexpr int kToday = 20000;

std::int64_t DaysAgo(int days, int hour = 12) {
  return static_cast<std::int64_t>(kToday - days) * 86400 + hour * 3600;
}

TEST(ScheduleTest, DueWhenTheDaysSinceTheLastAnswerReachTheLevelsInterval) {
  struct Case {
    int level;
    int daysAgo;
    bool due;
  } cases[] = {
      {1, 0, true},  {2, 0, false}, {2, 1, true},   {3, 2, false}, {3, 3, true},
      {4, 6, false}, {4, 7, true},  {5, 20, false}, {5, 21, true}, {9, 0, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsDue({c.level, DaysAgo(c.daysAgo)}, kToday), c.due)
        << "level " << c.level << ", " << c.daysAgo << " days";
  }
  // Calendar days count, not hours: late yesterday is a day ago.
  EXPECT_TRUE(IsDue({2, DaysAgo(1, 23)}, kToday));
  EXPECT_TRUE(IsDue({5, std::nullopt}, kToday));
}

TEST(ScheduleTest, RoundTakesLowestLevelThenLongestUnansweredThenTimelineOrderUpToN) {
  const std::vector<ScheduleItem> items = {
      {2, DaysAgo(5)},    // 0
      {1, DaysAgo(0)},    // 1
      {2, std::nullopt},  // 2
      {5, DaysAgo(3)},    // 3: not due
      {1, DaysAgo(2)},    // 4
      {2, DaysAgo(5)},    // 5: ties with 0, later on the line
      {1, std::nullopt},  // 6
  };
  EXPECT_EQ(PlanRound(items, kToday, 20), (std::vector<std::size_t>{6, 4, 1, 2, 0, 5}));
  EXPECT_EQ(PlanRound(items, kToday, 2), (std::vector<std::size_t>{6, 4}));
  EXPECT_EQ(LowestLevelRound(items, 7).back(), 3u);
}

TEST(ScheduleTest, NothingDueOffersTheLowestLevelsAndSaysWhenTheNextFallsDue) {
  const std::vector<ScheduleItem> items = {{3, DaysAgo(1)}, {2, DaysAgo(0)}, {5, DaysAgo(1)}};
  EXPECT_TRUE(PlanRound(items, kToday, 20).empty());
  EXPECT_EQ(NextDueDay(items, kToday), kToday + 1);
  EXPECT_EQ(LowestLevelRound(items, 2), (std::vector<std::size_t>{1, 0}));
  EXPECT_EQ(NextDueDay({}, kToday), std::nullopt);
  EXPECT_EQ(NextDueDay({{1, DaysAgo(0)}}, kToday), kToday);
}

TEST(ScheduleTest, DayNumbersFollowTheCalendar) {
  EXPECT_EQ(DayNumber(1970, 1, 1), 0);
  EXPECT_EQ(DayNumber(2024, 3, 1) - DayNumber(2024, 2, 28), 2);
  const LocalTime date = DateOfDay(DayNumber(2026, 12, 31) + 1);
  EXPECT_EQ(JapaneseDate(date), "2027年1月1日");
}

}  // namespace
}  // namespace qev
