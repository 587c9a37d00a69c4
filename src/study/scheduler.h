#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "study/card_memories.h"
#include "study/card_pool.h"
#include "study/grade.h"

namespace qev {

// What the learner sets of a schedule: the predicted recall at which a card
// falls due, and how many cards never answered a day may bring.
inline constexpr double kDefaultRetention = 0.90;
inline constexpr double kMinRetention = 0.70;
inline constexpr double kMaxRetention = 0.97;
inline constexpr int kDefaultNewPerDay = 20;
inline constexpr int kMaxNewPerDay = 9999;

struct StudyGoals {
  double retention = kDefaultRetention;
  int newPerDay = kDefaultNewPerDay;
};

// What a scheduler plans with: the time, the learner's goals and each
// card's memory as its history leaves it.
struct Schedule {
  LocalTime now;
  StudyGoals goals;
  CardMemories& memories;
};

// How many cards a round could ask now.
struct DueCount {
  int due = 0;      // answered before and due now
  int fresh = 0;    // never answered
  int newLeft = 0;  // of the day's new cards, those still to come
};

// When cards are asked, and what an answer does to the memorisation level
// of their events. A scheduler is a file of its own and one line of the
// study registry; it learns from each card's history, which the log holds.
class Scheduler {
 public:
  virtual ~Scheduler() = default;
  virtual std::string_view name() const = 0;
  // The day (a DayNumber) the card falls due: that of `now` or earlier when
  // it is due now.
  virtual int DueDay(const Card& card, const Schedule& at) const = 0;
  // The memorisation level (1..5) of the card's event after an answer
  // graded `grade`.
  virtual int LevelAfter(const Card& card, Grade grade, const Schedule& at) const = 0;
  // A round: at most `n` due cards of the pool, in the order asked.
  virtual std::vector<Card> PlanRound(CardPool& pool, const Schedule& at, int n) const = 0;
  // A round of at most `n` cards when none is due: those it would ask
  // first.
  virtual std::vector<Card> PlanAnyway(CardPool& pool, const Schedule& at, int n) const = 0;
  // The cards due now and never answered.
  virtual DueCount Count(CardPool& pool, const Schedule& at) const = 0;
  // The first day from today a round has a card to ask: a card never
  // answered counts today while the day allows new cards, tomorrow once it
  // does not. Nothing when the pool has no card. This walks every card; a
  // scheduler that keeps its cards' due days may answer faster.
  virtual std::optional<int> NextDueDay(CardPool& pool, const Schedule& at) const;
};

}  // namespace qev
