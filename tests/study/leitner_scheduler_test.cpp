#include "study/leitner_scheduler.h"

#include <gtest/gtest.h>

#include "events/temp_folder.h"
#include "study/fake_round_host.h"
#include "study/study_time.h"
#include "study/year_question.h"

namespace qev {
namespace {

constexpr int kToday = 20000;
const LocalTime kNow = [] {
  LocalTime t = DateOfDay(kToday);
  t.hour = 12;
  return t;
}();

std::int64_t DaysAgo(int days, int hour = 12) {
  return static_cast<std::int64_t>(kToday - days) * 86400 + hour * 3600;
}

Schedule At() {
  static CardMemories memories;
  return {kNow, {}, memories};
}

const LeitnerScheduler kLeitner;
const YearQuestion kYear;

// A card at memorisation level `level`, last answered at `last`.
Card CardAt(int level, std::optional<std::int64_t> last) {
  Card card;
  card.event.memorisation = static_cast<char>('0' + level);
  card.kind = &kYear;
  card.history = CardHistory(nullptr, 0, last);
  return card;
}

// The cards of events at these levels, last answered then, in timeline
// order: the round's pool, and the indices of what a plan took.
class Pool {
 public:
  explicit Pool(const std::vector<std::pair<int, std::optional<std::int64_t>>>& items)
      : host_(folder_ / kStudyLogName) {
    for (std::size_t i = 0; i < items.size(); ++i) {
      const Sjis line("AD" + std::to_string(1000 + i) + ";1," + std::to_string(items[i].first) +
                      ",,;p;e" + std::to_string(i) + ";m;");
      host_.lines[i + 1] = line;
      if (items[i].second) {
        Review review;
        review.moment = *items[i].second;
        history_.Note(KeyOfCard(KeyOfEvent("f", line), kYear.name()), review);
      }
    }
  }
  std::vector<std::size_t> Indices(const std::vector<Card>& cards) const {
    std::vector<std::size_t> indices;
    for (const Card& card : cards) indices.push_back(card.event.id.serial - 1);
    return indices;
  }
  CardPool cards() { return CardPool(host_, history_, kinds_); }

 private:
  testing::TempFolder folder_;
  testing::FakeRoundHost host_;
  ReviewHistory history_;
  std::vector<const QuestionKind*> kinds_{&kYear};
};

TEST(LeitnerSchedulerTest, DueWhenTheDaysSinceTheLastAnswerReachTheLevelsInterval) {
  struct Case {
    int level;
    int daysAgo;
    bool due;
  } cases[] = {
      {1, 0, true},  {2, 0, false}, {2, 1, true},   {3, 2, false}, {3, 3, true},
      {4, 6, false}, {4, 7, true},  {5, 20, false}, {5, 21, true}, {9, 0, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kLeitner.DueDay(CardAt(c.level, DaysAgo(c.daysAgo)), At()) <= kToday, c.due)
        << "level " << c.level << ", " << c.daysAgo << " days";
  }
  // Calendar days count, not hours: late yesterday is a day ago.
  EXPECT_LE(kLeitner.DueDay(CardAt(2, DaysAgo(1, 23)), At()), kToday);
  EXPECT_EQ(kLeitner.DueDay(CardAt(5, std::nullopt), At()), kToday);
}

TEST(LeitnerSchedulerTest, ARightAnswerMovesUpALevelAWrongOneBackToTheFirst) {
  struct Case {
    int level;
    Grade grade;
    int after;
  } cases[] = {
      {1, Grade::kGood, 2}, {3, Grade::kHard, 4},  {4, Grade::kEasy, 5},
      {5, Grade::kGood, 5}, {4, Grade::kAgain, 1}, {9, Grade::kGood, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kLeitner.LevelAfter(CardAt(c.level, DaysAgo(1)), c.grade, At()), c.after) << c.level;
  }
}

TEST(LeitnerSchedulerTest, RoundTakesLowestLevelThenLongestUnansweredThenTimelineOrderUpToN) {
  Pool pool({
      {2, DaysAgo(5)},    // 0
      {1, DaysAgo(0)},    // 1
      {2, std::nullopt},  // 2
      {5, DaysAgo(3)},    // 3: not due
      {1, DaysAgo(2)},    // 4
      {2, DaysAgo(5)},    // 5: ties with 0, later on the line
      {1, std::nullopt},  // 6
  });
  CardPool cards = pool.cards();
  EXPECT_EQ(pool.Indices(kLeitner.PlanRound(cards, At(), 20)),
            (std::vector<std::size_t>{6, 4, 1, 2, 0, 5}));
  EXPECT_EQ(pool.Indices(kLeitner.PlanRound(cards, At(), 2)), (std::vector<std::size_t>{6, 4}));
  EXPECT_EQ(pool.Indices(kLeitner.PlanAnyway(cards, At(), 7)).back(), 3u);
}

TEST(LeitnerSchedulerTest, NothingDueOffersTheLowestLevelsAndSaysWhenEachFallsDue) {
  Pool pool({{3, DaysAgo(1)}, {2, DaysAgo(0)}, {5, DaysAgo(1)}});
  CardPool cards = pool.cards();
  EXPECT_TRUE(kLeitner.PlanRound(cards, At(), 20).empty());
  EXPECT_EQ(pool.Indices(kLeitner.PlanAnyway(cards, At(), 2)), (std::vector<std::size_t>{1, 0}));
  std::vector<int> due;
  for (const Card& card : cards.All()) due.push_back(kLeitner.DueDay(card, At()));
  EXPECT_EQ(due, (std::vector<int>{kToday + 2, kToday + 1, kToday + 20}));
}

TEST(LeitnerSchedulerTest, DayNumbersFollowTheCalendar) {
  EXPECT_EQ(DayNumber(1970, 1, 1), 0);
  EXPECT_EQ(DayNumber(2024, 3, 1) - DayNumber(2024, 2, 28), 2);
  EXPECT_EQ(DayOfMoment(Moment({2026, 12, 9, 23, 59, 59})), DayNumber(2026, 12, 9));
  EXPECT_EQ(DayOfMoment(-1), -1);
  const LocalTime date = DateOfDay(DayNumber(2026, 12, 31) + 1);
  EXPECT_EQ(JapaneseDate(date), "2027年1月1日");
}

}  // namespace
}  // namespace qev
