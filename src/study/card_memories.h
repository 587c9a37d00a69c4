#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>

#include "study/fsrs.h"
#include "study/fsrs_fit.h"
#include "study/review_history.h"

namespace qev {

// A card's memory as its answers leave it, with the day of its first answer
// (which tells the day's new cards).
struct CardState {
  CardMemory memory;
  int firstDay = 0;
};

// The memory of each card, replayed from its history once and kept while
// its last answer stays the same, so that a round over a long log replays
// only the cards answered since the last one.
class CardMemories {
 public:
  explicit CardMemories(const MemoryParameters& w = kDefaultMemoryParameters) : w_(w) {}

  const MemoryParameters& parameters() const { return w_; }
  // New parameters: every card is replayed again.
  void SetParameters(const MemoryParameters& w);

  // The card's state after its answers; nothing when it has none the model
  // knows.
  std::optional<CardState> Of(CardKey key, const CardHistory& history);

 private:
  struct Entry {
    std::int64_t last = 0;  // the Moment of the last answer replayed
    std::optional<CardState> state;
  };
  MemoryParameters w_;
  std::unordered_map<CardKey, Entry> cards_;
};

// Every card of the log's answers, as the fit and its figures take them.
MemoryLog MemoryLogOf(const ReviewHistory& history);

// A card's answers as the model takes them: the day of each and its grade.
std::vector<MemoryReview> MemoryReviewsOf(const std::vector<Review>& reviews);

}  // namespace qev
