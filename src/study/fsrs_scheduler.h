#pragma once

#include "study/scheduler.h"

namespace qev {

// The schedule of the memory model (study/fsrs.h): a card falls due when
// its predicted recall falls to the learner's desired retention. A round
// asks the due cards first, the lowest predicted recall first, then cards
// never answered, up to the day's limit of new cards, the most important
// first and otherwise shuffled, so that neither files nor eras come in
// their order. A card never answered is new whatever its memorisation digit
// says; the digit after an answer tells the card's stability.
class FsrsScheduler final : public Scheduler {
 public:
  std::string_view name() const override { return "fsrs"; }
  int DueDay(const Card& card, const Schedule& at) const override;
  int LevelAfter(const Card& card, Grade grade, const Schedule& at) const override;
  std::vector<Card> PlanRound(CardPool& pool, const Schedule& at, int n) const override;
  std::vector<Card> PlanAnyway(CardPool& pool, const Schedule& at, int n) const override;
  DueCount Count(CardPool& pool, const Schedule& at) const override;
  std::optional<int> NextDueDay(CardPool& pool, const Schedule& at) const override;
};

// The memorisation level (1..5) of a stability in days: ① under 1 day,
// ② 1 to 3, ③ 3 to 7, ④ 7 to 21, ⑤ 21 or more.
int LevelOfStability(double stability);

}  // namespace qev
