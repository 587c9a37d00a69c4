#pragma once

#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "study/card_pool.h"
#include "study/grade.h"

namespace qev {

// When cards are asked, and what an answer does to the memorisation level
// of their events. A scheduler is a file of its own and one line of the
// study registry; it learns from each card's history, which the log holds.
class Scheduler {
 public:
  virtual ~Scheduler() = default;
  virtual std::string_view name() const = 0;
  // The day (a DayNumber) the card falls due: that of `now` or earlier when
  // it is due now.
  virtual int DueDay(const Card& card, const LocalTime& now) const = 0;
  // The memorisation level (1..5) of the card's event after an answer
  // graded `grade`.
  virtual int LevelAfter(const Card& card, Grade grade, const LocalTime& now) const = 0;
  // A round: at most `n` due cards of the pool, in the order asked.
  virtual std::vector<Card> PlanRound(CardPool& pool, const LocalTime& now, int n) const = 0;
  // A round of at most `n` cards when none is due: those it would ask
  // first.
  virtual std::vector<Card> PlanAnyway(CardPool& pool, const LocalTime& now, int n) const = 0;
};

}  // namespace qev
