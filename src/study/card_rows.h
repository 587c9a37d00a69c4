#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "events/event_id.h"
#include "study/event_pool.h"
#include "study/review_history.h"

namespace qev {

class CardMemories;
class CardPool;
class QuestionKind;

// What a scan of the pool needs of one card: a few bytes, read in order,
// instead of its line, its history and its memory, each somewhere else.
struct CardRow {
  CardKey key = 0;
  double stability = 0;        // of its memory, when answered
  int lastDay = 0;             // of its last answer
  int dueDay = 0;              // at the retention the rows were kept for
  int firstDay = 0;            // of its first answer
  std::int8_t importance = 0;  // the line's importance digit, 0 when none
  bool answered = false;       // the model knows an answer of it
  bool waiting = false;        // asked after the year, which was never answered
};

// The rows of every card of a pool, kept between rounds: made once, then
// followed as answers are noted and lines replaced, so that a round over a
// long log reads neither every line nor every history again. Made anew when
// the pool's points, its kinds or the log change otherwise.
class CardRows {
 public:
  // The rows of the pool's cards, in the order of its points, each point's
  // in the order of the kinds; as fresh as the pool, its history and the
  // memories at `retention`.
  std::span<const CardRow> Of(CardPool& pool, CardMemories& memories, double retention);
  // Where row i comes from: the index of its point in the pool's points,
  // and of its kind in the pool's kinds.
  std::size_t PointOf(std::size_t row) const { return points_[row]; }
  std::size_t KindOf(std::size_t row) const { return kinds_[row]; }
  CardKey KeyOf(std::size_t row) const { return rows_[row].key; }

 private:
  // Whether the rows were made for this pool's points, kinds and history.
  bool SamePool(CardPool& pool) const;
  void Make(CardPool& pool, CardMemories& memories, double retention);
  // Makes the rows of point p again from its line; false when its cards
  // are not those it had.
  bool Remake(CardPool& pool, std::size_t p, CardMemories& memories, double retention);
  // The events the pool replaced since the rows were made or followed:
  // their points, each once; false when the pool cannot say.
  bool ReplacedPoints(CardPool& pool, std::vector<std::size_t>& points);
  // The points of the cards answered since.
  std::vector<std::size_t> AnsweredPoints(const ReviewHistory& history);
  void Remember(CardRow& row, const ReviewHistory& history, CardMemories& memories,
                double retention) const;

  bool made_ = false;
  std::vector<CardRow> rows_;
  std::vector<std::uint32_t> points_;  // per row
  std::vector<std::uint8_t> kinds_;    // per row
  std::vector<EventId> ids_;           // per point of the pool
  std::vector<const QuestionKind*> askedKinds_;
  const ReviewHistory* history_ = nullptr;
  std::size_t notedSeen_ = 0;
  LinesStamp stamp_{};
  std::uint64_t generation_ = 0;
  double retention_ = 0;
};

}  // namespace qev
