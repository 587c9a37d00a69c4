#include "study/fsrs_scheduler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <tuple>

#include "events/event_line.h"
#include "study/first_cards.h"
#include "study/study_time.h"
#include "text/byte_fields.h"

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

int Importance(std::string_view line) {
  const char digit = ByteAt(line, kImportancePos);
  return digit >= '1' && digit <= '5' ? digit - '0' : 0;
}

// The order of the due cards and of the new ones.
using RoundKey = std::tuple<double, std::uint64_t>;
using FirstOfRound = FirstCards<RoundKey>;

// Every card of the pool with its state, batch by batch; `take` gets the
// card, its state (nothing when never answered) and whether it is due.
template <typename Take>
DueCount Scan(CardPool& pool, const Schedule& at, Take take) {
  const int today = DayNumber(at.now);
  const std::vector<TimelinePoint>& points = pool.points();
  DueCount count;
  int newToday = 0;
  for (std::size_t next = 0; next < points.size();) {
    const std::vector<Card> cards = pool.NextCards(next);
    const std::vector<std::optional<CardState>> states = at.memories.Of(cards, at.goals.retention);
    for (std::size_t i = 0; i < cards.size(); ++i) {
      const Card& card = cards[i];
      const std::optional<CardState>& state = states[i];
      if (!state) {
        ++count.fresh;
        take(card, nullptr, false);
        continue;
      }
      if (state->firstDay == today) ++newToday;
      const bool due = state->dueDay <= today;
      if (due) ++count.due;
      take(card, &*state, due);
    }
  }
  count.newLeft = std::max(at.goals.newPerDay - newToday, 0);
  return count;
}

// The lower a card's predicted recall now, the lower this: the recall
// falls as the days since the last answer grow against the stability, so
// the ratio orders the cards without computing the curve.
double RecallOrder(const CardState& state, int today) {
  return -(today - state.memory.lastDay) / state.memory.state.stability;
}

RoundKey NewKey(const Card& card, int today) {
  return {-Importance(card.event.line), Shuffled(card.key, today)};
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
  const DueCount count = Scan(pool, at, [&](const Card& card, const CardState* state, bool isDue) {
    if (!state) {
      fresh.Offer(NewKey(card, today), card);
    } else if (isDue) {
      due.Offer({RecallOrder(*state, today), Shuffled(card.key, today)}, card);
    }
  });
  std::vector<Card> round;
  due.AppendTo(round, wanted);
  fresh.AppendTo(round, std::min(wanted - round.size(), static_cast<std::size_t>(count.newLeft)));
  return round;
}

std::vector<Card> FsrsScheduler::PlanAnyway(CardPool& pool, const Schedule& at, int n) const {
  const int today = DayNumber(at.now);
  const auto wanted = static_cast<std::size_t>(std::max(n, 0));
  FirstOfRound answered(wanted);
  FirstOfRound fresh(wanted);
  Scan(pool, at, [&](const Card& card, const CardState* state, bool /*due*/) {
    if (state) {
      answered.Offer({RecallOrder(*state, today), Shuffled(card.key, today)}, card);
    } else {
      fresh.Offer(NewKey(card, today), card);
    }
  });
  std::vector<Card> round;
  answered.AppendTo(round, wanted);
  fresh.AppendTo(round, wanted - round.size());
  return round;
}

DueCount FsrsScheduler::Count(CardPool& pool, const Schedule& at) const {
  return Scan(pool, at, [](const Card&, const CardState*, bool) {});
}

}  // namespace qev
