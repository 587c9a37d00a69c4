#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "study/card_pool.h"
#include "study/fsrs.h"
#include "study/fsrs_fit.h"
#include "study/review_history.h"

namespace qev {

// A card's memory as its answers leave it, with the day of its first answer
// (which tells the day's new cards) and the day it falls due at the
// retention it was last asked for.
struct CardState {
  CardMemory memory;
  int firstDay = 0;
  int dueDay = 0;
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
  // Changes with every new set of parameters, never back to an earlier
  // value, so that what was kept of the memories can tell they are stale.
  std::uint64_t generation() const { return generation_; }

  // The card's state after its answers, its due day at `retention`; nothing
  // when it has no answer the model knows.
  std::optional<CardState> Of(CardKey key, const CardHistory& history, double retention);
  // The same for many cards, in their order: the table's entries are
  // fetched a few cards ahead, as a round looks up every card of the line.
  std::vector<std::optional<CardState>> Of(std::span<const Card> cards, double retention);

 private:
  // Open addressing in one array, as ReviewHistory keeps its cards; key 0
  // marks a free slot, a card whose key is 0 is kept under 1.
  struct Entry {
    CardKey key = 0;
    std::int64_t last = 0;  // the Moment of the last answer replayed
    double retention = 0;   // that state.dueDay is for
    bool known = false;     // the state holds an answer
    CardState state;
  };
  Entry& EntryOf(CardKey key);
  std::optional<CardState> Update(Entry& entry, const CardHistory& history, double retention);
  void Grow();

  static std::uint64_t NextGeneration();

  MemoryParameters w_;
  std::uint64_t generation_ = NextGeneration();
  std::vector<Entry> table_;
  std::size_t used_ = 0;
};

// The day a card falls due: when its predicted recall falls to
// `retention`, a day after its last answer at the earliest.
int DueDayOfMemory(const CardMemory& memory, double retention, const MemoryParameters& w);

// Every card of the log's answers, as the fit and its figures take them.
MemoryLog MemoryLogOf(const ReviewHistory& history);

// A card's answers as the model takes them: the day of each and its grade.
std::vector<MemoryReview> MemoryReviewsOf(const std::vector<Review>& reviews);

}  // namespace qev
