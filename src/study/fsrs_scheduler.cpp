#include "study/fsrs_scheduler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <tuple>

#include "study/first_cards.h"
#include "study/study_time.h"

namespace qev {
namespace {

// A card's place in a shuffled order, the same all day: so that rounds of
// the same day agree, and the next day shuffles afresh.
std::uint64_t Shuffled(CardKey key, int day) {
  std::uint64_t x = key ^ (static_cast<std::uint64_t>(day) * 0x9E3779B97F4A7C15ULL);
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

// The order of the due cards and of the new ones.
using RoundKey = std::tuple<double, std::uint64_t>;
// A round's first cards, as rows of the pool.
using FirstOfRound = FirstCards<RoundKey, std::size_t>;

// Every card of the pool as a row, with its memory; `take` gets the row's
// index, the row and whether it is due.
template <typename Take>
DueCount Scan(CardPool& pool, const Schedule& at, Take take) {
  const int today = DayNumber(at.now);
  const std::span<const CardRow> rows = pool.Rows(at.memories, at.goals.retention);
  DueCount count;
  int newToday = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const CardRow& row = rows[i];
    if (row.waiting) continue;
    if (!row.answered) {
      ++count.fresh;
      take(i, row, false);
      continue;
    }
    if (row.firstDay == today) ++newToday;
    const bool due = row.dueDay <= today;
    if (due) ++count.due;
    take(i, row, due);
  }
  count.newLeft = std::max(at.goals.newPerDay - newToday, 0);
  return count;
}

// The lower a card's predicted recall now, the lower this: the recall
// falls as the days since the last answer grow against the stability, so
// the ratio orders the cards without computing the curve.
RoundKey DueKey(const CardRow& row, int today) {
  return {-(today - row.lastDay) / row.stability, Shuffled(row.key, today)};
}

RoundKey NewKey(const CardRow& row, int today) {
  return {-row.importance, Shuffled(row.key, today)};
}

// The cards of the rows taken, in their order; a row whose line is gone
// meanwhile is left out.
void AppendCards(CardPool& pool, FirstOfRound& first, std::size_t n, std::vector<Card>& cards) {
  std::vector<std::size_t> rows;
  first.AppendTo(rows, n);
  for (const std::size_t row : rows) {
    if (std::optional<Card> card = pool.CardOfRow(row)) cards.push_back(std::move(*card));
  }
}

}  // namespace

int LevelOfStability(double stability) {
  static constexpr double kBands[] = {1, 3, 7, 21};
  int level = 1;
  for (const double band : kBands) level += stability >= band ? 1 : 0;
  return level;
}

int FsrsScheduler::DueDay(const Card& card, const Schedule& at) const {
  const std::optional<CardState> state = at.memories.Of(card.key, card.history, at.goals.retention);
  return state ? state->dueDay : DayNumber(at.now);
}

int FsrsScheduler::LevelAfter(const Card& card, Grade grade, const Schedule& at) const {
  const MemoryParameters& w = at.memories.parameters();
  const int g = static_cast<int>(grade);
  const std::optional<CardState> state = at.memories.Of(card.key, card.history, at.goals.retention);
  const MemoryState after =
      state ? NextMemoryState(state->memory.state,
                              std::max(DayNumber(at.now) - state->memory.lastDay, 0), g, w)
            : FirstMemoryState(g, w);
  return LevelOfStability(after.stability);
}

std::vector<Card> FsrsScheduler::PlanRound(CardPool& pool, const Schedule& at, int n) const {
  const int today = DayNumber(at.now);
  const auto wanted = static_cast<std::size_t>(std::max(n, 0));
  FirstOfRound due(wanted);
  FirstOfRound fresh(
      std::min<std::size_t>(wanted, static_cast<std::size_t>(std::max(at.goals.newPerDay, 0))));
  const DueCount count = Scan(pool, at, [&](std::size_t i, const CardRow& row, bool isDue) {
    if (!row.answered) {
      fresh.Offer(NewKey(row, today), i);
    } else if (isDue) {
      due.Offer(DueKey(row, today), i);
    }
  });
  std::vector<Card> round;
  AppendCards(pool, due, wanted, round);
  AppendCards(pool, fresh, std::min(wanted - round.size(), static_cast<std::size_t>(count.newLeft)),
              round);
  return round;
}

std::vector<Card> FsrsScheduler::PlanAnyway(CardPool& pool, const Schedule& at, int n) const {
  const int today = DayNumber(at.now);
  const auto wanted = static_cast<std::size_t>(std::max(n, 0));
  FirstOfRound answered(wanted);
  FirstOfRound fresh(wanted);
  Scan(pool, at, [&](std::size_t i, const CardRow& row, bool /*due*/) {
    if (row.answered) {
      answered.Offer(DueKey(row, today), i);
    } else {
      fresh.Offer(NewKey(row, today), i);
    }
  });
  std::vector<Card> round;
  AppendCards(pool, answered, wanted, round);
  AppendCards(pool, fresh, wanted - round.size(), round);
  return round;
}

DueCount FsrsScheduler::Count(CardPool& pool, const Schedule& at) const {
  return Scan(pool, at, [](std::size_t, const CardRow&, bool) {});
}

std::optional<int> FsrsScheduler::NextDueDay(CardPool& pool, const Schedule& at) const {
  const int today = DayNumber(at.now);
  std::optional<int> firstDue;
  bool fresh = false;
  const DueCount count = Scan(pool, at, [&](std::size_t, const CardRow& row, bool) {
    if (!row.answered) {
      fresh = true;
    } else if (!firstDue || row.dueDay < *firstDue) {
      firstDue = row.dueDay;
    }
  });
  std::optional<int> next;
  if (firstDue) next = std::max(*firstDue, today);
  if (fresh) {
    const int newDay = count.newLeft > 0 ? today : today + 1;
    if (!next || newDay < *next) next = newDay;
  }
  return next;
}

}  // namespace qev
