#include "study/card_memories.h"

#include <algorithm>

#include "study/study_time.h"

namespace qev {

void CardMemories::SetParameters(const MemoryParameters& w) {
  w_ = w;
  cards_.clear();
}

std::optional<CardState> CardMemories::Of(CardKey key, const CardHistory& history) {
  const std::optional<std::int64_t> last = history.lastAnswered();
  if (!last) return std::nullopt;
  const auto [found, added] = cards_.try_emplace(key);
  Entry& entry = found->second;
  if (added || entry.last != *last) {
    const std::vector<MemoryReview> reviews = MemoryReviewsOf(history.reviews());
    entry.last = *last;
    entry.state.reset();
    if (const std::optional<CardMemory> memory = ReplayCard(reviews, w_)) {
      entry.state = CardState{*memory, reviews.front().day};
    }
  }
  return entry.state;
}

std::vector<MemoryReview> MemoryReviewsOf(const std::vector<Review>& reviews) {
  std::vector<MemoryReview> memory;
  memory.reserve(reviews.size());
  for (const Review& review : reviews) {
    memory.push_back({DayOfMoment(review.moment), static_cast<int>(review.grade)});
  }
  return memory;
}

MemoryLog MemoryLogOf(const ReviewHistory& history) {
  std::vector<CardKey> keys = history.Keys();
  std::sort(keys.begin(), keys.end());  // the same log, the same cards held out
  MemoryLog log;
  for (const CardKey key : keys) log.AddCard(MemoryReviewsOf(history.Of(key)));
  return log;
}

}  // namespace qev
