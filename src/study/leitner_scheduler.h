#pragma once

#include "study/scheduler.h"

namespace qev {

// Spaced review on the memorisation levels: the five levels are the five
// boxes of a Leitner system. A card is due when it was never answered, or
// when the days since its last answer reach the interval of its event's
// level. A right answer moves the event up a level, a wrong one back to ①.
// A round takes the lowest level first, then the longest unanswered (never
// answered first), then timeline order.
class LeitnerScheduler final : public Scheduler {
 public:
  std::string_view name() const override { return "leitner"; }
  int DueDay(const Card& card, const Schedule& at) const override;
  int LevelAfter(const Card& card, Grade grade, const Schedule& at) const override;
  std::vector<Card> PlanRound(CardPool& pool, const Schedule& at, int n) const override;
  std::vector<Card> PlanAnyway(CardPool& pool, const Schedule& at, int n) const override;
  DueCount Count(CardPool& pool, const Schedule& at) const override;

  // Days between reviews at memorisation level 1..5: 0, 1, 3, 7, 21.
  static int IntervalDays(int level);
};

}  // namespace qev
