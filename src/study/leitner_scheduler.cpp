#include "study/leitner_scheduler.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <tuple>

#include "study/first_cards.h"
#include "study/study_time.h"

namespace qev {
namespace {

int DueDayOf(int level, const std::optional<std::int64_t>& last, int today) {
  if (!last) return today;
  return DayOfMoment(*last) + LeitnerScheduler::IntervalDays(level);
}

// A round's order: lowest level, then longest unanswered (never answered
// first), then the order offered.
using RoundKey = std::tuple<int, std::int64_t, std::size_t>;
RoundKey KeyOf(const Card& card, std::size_t offered) {
  return {card.level(),
          card.history.lastAnswered().value_or(std::numeric_limits<std::int64_t>::min()), offered};
}

// The next at most `count` points at memorisation level `level` from `next`
// on, in timeline order; `next` moves past them.
std::vector<const TimelinePoint*> NextAtLevel(const std::vector<TimelinePoint>& points, int level,
                                              std::size_t count, std::size_t& next) {
  std::vector<const TimelinePoint*> found;
  found.reserve(count);
  for (; next < points.size() && found.size() < count; ++next) {
    if (LevelOfDigit(points[next].memorisation) == level) found.push_back(&points[next]);
  }
  return found;
}

}  // namespace

int LeitnerScheduler::IntervalDays(int level) {
  static constexpr int kDays[] = {0, 1, 3, 7, 21};
  return kDays[(level >= 1 && level <= 5 ? level : 1) - 1];
}

int LeitnerScheduler::DueDay(const Card& card, const Schedule& at) const {
  return DueDayOf(card.level(), card.history.lastAnswered(), DayNumber(at.now));
}

int LeitnerScheduler::LevelAfter(const Card& card, Grade grade, const Schedule& /*at*/) const {
  return grade == Grade::kAgain ? 1 : std::min(card.level() + 1, 5);
}

std::vector<Card> LeitnerScheduler::PlanRound(CardPool& pool, const Schedule& at, int n) const {
  const int today = DayNumber(at.now);
  const auto wanted = static_cast<std::size_t>(std::max(n, 0));
  // The lines only of the cards a round looks at: level by level from the
  // lowest, while the lower ones leave room in the round. Within a level
  // the cards never answered come first, in timeline order, so the look at
  // a level ends once they fill the room.
  const std::vector<TimelinePoint>& points = pool.points();
  std::vector<Card> round;
  for (int level = 1; level <= 5 && round.size() < wanted; ++level) {
    const std::size_t room = wanted - round.size();
    FirstCards<RoundKey> first(room);
    std::size_t offered = 0;
    std::size_t neverAnswered = 0;
    for (std::size_t next = 0; next < points.size() && neverAnswered < room;) {
      const std::vector<Card> batch =
          pool.CardsOf(NextAtLevel(points, level, CardPool::kBatch, next));
      for (std::size_t i = 0; i < batch.size() && neverAnswered < room; ++i) {
        const std::optional<std::int64_t> last = batch[i].history.lastAnswered();
        if (DueDayOf(level, last, today) > today) continue;
        first.Offer(KeyOf(batch[i], offered++), batch[i]);
        neverAnswered += last ? 0 : 1;
      }
    }
    first.AppendTo(round, room);
  }
  return round;
}

std::vector<Card> LeitnerScheduler::PlanAnyway(CardPool& pool, const Schedule& /*at*/,
                                               int n) const {
  const auto wanted = static_cast<std::size_t>(std::max(n, 0));
  FirstCards<RoundKey> first(wanted);
  std::size_t offered = 0;
  for (const Card& card : pool.All()) first.Offer(KeyOf(card, offered++), card);
  std::vector<Card> round;
  first.AppendTo(round, wanted);
  return round;
}

DueCount LeitnerScheduler::Count(CardPool& pool, const Schedule& at) const {
  const int today = DayNumber(at.now);
  DueCount count;
  for (const Card& card : pool.All()) {
    if (!card.history.lastAnswered()) {
      ++count.fresh;
    } else if (DueDay(card, at) <= today) {
      ++count.due;
    }
  }
  count.newLeft = count.fresh;
  return count;
}

}  // namespace qev
