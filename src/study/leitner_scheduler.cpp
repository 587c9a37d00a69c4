#include "study/leitner_scheduler.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "study/study_time.h"

namespace qev {
namespace {

int DueDayOf(int level, const std::optional<std::int64_t>& last, int today) {
  if (!last) return today;
  return DayOfMoment(*last) + LeitnerScheduler::IntervalDays(level);
}

// The at most `n` of `cards` first in the round's order, in that order:
// lowest level, then longest unanswered, then their order in `cards`.
std::vector<Card> FirstInOrder(std::vector<Card> cards, int n) {
  std::vector<std::size_t> order(cards.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  auto before = [&](std::size_t a, std::size_t b) {
    const Card& x = cards[a];
    const Card& y = cards[b];
    if (x.level() != y.level()) return x.level() < y.level();
    const std::int64_t tx =
        x.history.lastAnswered().value_or(std::numeric_limits<std::int64_t>::min());
    const std::int64_t ty =
        y.history.lastAnswered().value_or(std::numeric_limits<std::int64_t>::min());
    if (tx != ty) return tx < ty;
    return a < b;
  };
  const std::size_t count = std::min(order.size(), static_cast<std::size_t>(std::max(n, 0)));
  std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(count), order.end(),
                    before);
  std::vector<Card> first;
  first.reserve(count);
  for (std::size_t i = 0; i < count; ++i) first.push_back(cards[order[i]]);
  return first;
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

int LeitnerScheduler::DueDay(const Card& card, const LocalTime& now) const {
  return DueDayOf(card.level(), card.history.lastAnswered(), DayNumber(now));
}

int LeitnerScheduler::LevelAfter(const Card& card, Grade grade, const LocalTime& /*now*/) const {
  return grade == Grade::kAgain ? 1 : std::min(card.level() + 1, 5);
}

std::vector<Card> LeitnerScheduler::PlanRound(CardPool& pool, const LocalTime& now, int n) const {
  const int today = DayNumber(now);
  const auto wanted = static_cast<std::size_t>(std::max(n, 0));
  // The lines only of the cards a round looks at: level by level from the
  // lowest, while the lower ones leave room in the round. Within a level
  // the cards never answered come first, in timeline order, so the look at
  // a level ends once they fill the room.
  const std::vector<TimelinePoint>& points = pool.points();
  std::vector<Card> due;
  for (int level = 1; level <= 5 && due.size() < wanted; ++level) {
    const std::size_t room = wanted - due.size();
    std::size_t neverAnswered = 0;
    for (std::size_t next = 0; next < points.size() && neverAnswered < room;) {
      const std::vector<Card> batch =
          pool.CardsOf(NextAtLevel(points, level, CardPool::kBatch, next));
      for (std::size_t i = 0; i < batch.size() && neverAnswered < room; ++i) {
        const std::optional<std::int64_t> last = batch[i].history.lastAnswered();
        if (DueDayOf(level, last, today) > today) continue;
        due.push_back(batch[i]);
        neverAnswered += last ? 0 : 1;
      }
    }
  }
  return FirstInOrder(std::move(due), n);
}

std::vector<Card> LeitnerScheduler::PlanAnyway(CardPool& pool, const LocalTime& /*now*/,
                                               int n) const {
  return FirstInOrder(pool.All(), n);
}

}  // namespace qev
