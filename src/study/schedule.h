#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace qev {

// Spaced review on the memorisation levels: the five levels are the five
// boxes of a Leitner system. An event is due when it was never answered, or
// when the days since its last answer reach the interval of its level.

// Days between reviews at memorisation level 1..5: 0, 1, 3, 7, 21.
int IntervalDays(int level);

// The default and the limits of the number of questions of a round.
inline constexpr int kDefaultRoundSize = 20;
inline constexpr int kMinRoundSize = 1;
inline constexpr int kMaxRoundSize = 500;

// One event of the pool, in timeline order.
struct ScheduleItem {
  int level = 1;                             // memorisation level 1..5 (anything else counts as 1)
  std::optional<std::int64_t> lastAnswered;  // Moment of the last answer
};

// Whether the item is due on day `today` (a DayNumber).
bool IsDue(const ScheduleItem& item, int today);
// The day it falls due: the day of its last answer plus its interval; for an
// item never answered, `today`.
int DueDay(const ScheduleItem& item, int today);

// The questions of a round: the indices of at most `n` due items, lowest
// level first, then the longest unanswered (never answered first), then
// timeline order.
std::vector<std::size_t> PlanRound(const std::vector<ScheduleItem>& items, int today, int n);

// The round offered when nothing is due: the `n` lowest-level items, in the
// same order.
std::vector<std::size_t> LowestLevelRound(const std::vector<ScheduleItem>& items, int n);

// The first day, `today` or later, on which an item is due (today when one is
// due now), or nothing for an empty pool.
std::optional<int> NextDueDay(const std::vector<ScheduleItem>& items, int today);

}  // namespace qev
