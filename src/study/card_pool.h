#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "events/timeline_point.h"
#include "study/card_rows.h"
#include "study/event_pool.h"
#include "study/question_kind.h"
#include "study/review_history.h"

namespace qev {

// A memorisation digit outside 1..5 counts as level 1.
inline int LevelOfDigit(char digit) {
  return digit >= '1' && digit <= '5' ? digit - '0' : 1;
}

// One card of the pool: an event of the line and a kind that asks it, with
// its history. The event's views stay valid until the slots change.
struct Card {
  PoolEvent event;
  const QuestionKind* kind = nullptr;
  CardKey key = 0;
  CardHistory history;
  int level() const { return LevelOfDigit(event.memorisation); }
};

// The cards a round may ask: every event of the pool, once for each of the
// round's kinds that asks it. Cards are made only of the points a scheduler
// looks at, so that a round need not read every line.
class CardPool {
 public:
  // `kept` holds the rows between rounds; without it the pool keeps its
  // own for as long as it lives.
  CardPool(EventPool& events, const ReviewHistory& history,
           std::span<const QuestionKind* const> kinds, CardRows* kept = nullptr)
      : events_(events),
        history_(history),
        kinds_(kinds),
        own_(kept ? nullptr : std::make_unique<CardRows>()),
        rows_(kept ? *kept : *own_) {}

  // A scheduler looks at the points in batches of about this many, so that
  // the lines of a batch are fetched ahead of their use.
  static constexpr std::size_t kBatch = 256;

  EventPool& events() { return events_; }
  const ReviewHistory& history() const { return history_; }
  std::span<const QuestionKind* const> kinds() const { return kinds_; }

  // The pool's points, in timeline order, with their memorisation digits.
  const std::vector<TimelinePoint>& points() { return events_.PoolPoints(); }
  // The cards of `points`, in their order, each point's in the order of the
  // kinds.
  std::vector<Card> CardsOf(std::span<const TimelinePoint* const> points);
  // The cards of the next batch of points from `next` on, which moves past
  // them.
  std::vector<Card> NextCards(std::size_t& next);
  // Every card of the pool.
  std::vector<Card> All();
  // Whether the pool holds a card at all.
  bool Any();

  // A card of one of `points` (its index there) before its history is
  // looked up; one of a kind asked after the year waits while the year was
  // never answered.
  struct Draft {
    std::size_t point = 0;
    std::size_t kind = 0;  // in kinds()
    PoolEvent event;
    CardKey key = 0;
    bool waiting = false;
  };
  std::vector<Draft> DraftsOf(std::span<const TimelinePoint* const> points);

  // Every card as a scan reads it, with its memory at `retention`, kept
  // between rounds by the rows the pool was given.
  std::span<const CardRow> Rows(CardMemories& memories, double retention) {
    return rows_.Of(*this, memories, retention);
  }
  // The card of row i of the last Rows(); nothing when its line is gone.
  std::optional<Card> CardOfRow(std::size_t row);

 private:
  EventPool& events_;
  const ReviewHistory& history_;
  std::span<const QuestionKind* const> kinds_;
  std::unique_ptr<CardRows> own_;
  CardRows& rows_;
};

}  // namespace qev
