#include "study/leitner_scheduler.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <tuple>

#include "study/study_time.h"

namespace qev {
namespace {

int DueDayOf(int level, const std::optional<std::int64_t>& last, int today) {
  if (!last) return today;
  return DayOfMoment(*last) + LeitnerScheduler::IntervalDays(level);
}

// The at most `room` cards first in a round's order of those offered:
// lowest level, then longest unanswered (never answered first), then the
// order offered. A heap whose top is the last of them, so that a card
// behind it costs a comparison and no copy.
class FirstCards {
 public:
  explicit FirstCards(std::size_t room) : room_(room) {}

  void Offer(const Card& card) {
    if (room_ == 0) return;
    const Key key{card.level(),
                  card.history.lastAnswered().value_or(std::numeric_limits<std::int64_t>::min()),
                  offered_++};
    if (heap_.size() == room_) {
      if (!(key < heap_.front().key)) return;
      std::pop_heap(heap_.begin(), heap_.end(), Before);
      heap_.back() = {key, card};
    } else {
      heap_.push_back({key, card});
    }
    std::push_heap(heap_.begin(), heap_.end(), Before);
  }

  // Appends them to `cards`, in order.
  void AppendTo(std::vector<Card>& cards) {
    std::sort_heap(heap_.begin(), heap_.end(), Before);
    for (Entry& entry : heap_) cards.push_back(std::move(entry.card));
    heap_.clear();
  }

 private:
  struct Key {
    int level;
    std::int64_t last;
    std::size_t offered;
    bool operator<(const Key& other) const {
      return std::tie(level, last, offered) < std::tie(other.level, other.last, other.offered);
    }
  };
  struct Entry {
    Key key;
    Card card;
  };
  static bool Before(const Entry& a, const Entry& b) { return a.key < b.key; }

  std::size_t room_;
  std::size_t offered_ = 0;
  std::vector<Entry> heap_;
};

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
    FirstCards first(room);
    std::size_t neverAnswered = 0;
    for (std::size_t next = 0; next < points.size() && neverAnswered < room;) {
      const std::vector<Card> batch =
          pool.CardsOf(NextAtLevel(points, level, CardPool::kBatch, next));
      for (std::size_t i = 0; i < batch.size() && neverAnswered < room; ++i) {
        const std::optional<std::int64_t> last = batch[i].history.lastAnswered();
        if (DueDayOf(level, last, today) > today) continue;
        first.Offer(batch[i]);
        neverAnswered += last ? 0 : 1;
      }
    }
    first.AppendTo(round);
  }
  return round;
}

std::vector<Card> LeitnerScheduler::PlanAnyway(CardPool& pool, const Schedule& /*at*/,
                                               int n) const {
  FirstCards first(static_cast<std::size_t>(std::max(n, 0)));
  for (const Card& card : pool.All()) first.Offer(card);
  std::vector<Card> round;
  first.AppendTo(round);
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
