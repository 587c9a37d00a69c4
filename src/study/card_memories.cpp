#include "study/card_memories.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "study/study_time.h"

namespace qev {
namespace {

CardKey Stored(CardKey key) {
  return key == 0 ? 1 : key;
}

}  // namespace

std::uint64_t CardMemories::NextGeneration() {
  static std::atomic<std::uint64_t> last{0};
  return ++last;
}

void CardMemories::SetParameters(const MemoryParameters& w) {
  w_ = w;
  generation_ = NextGeneration();
  table_.clear();
  used_ = 0;
}

void CardMemories::Grow() {
  std::vector<Entry> old = std::move(table_);
  table_.assign(std::max<std::size_t>(1024, old.size() * 2), Entry{});
  const std::size_t mask = table_.size() - 1;
  for (Entry& entry : old) {
    if (entry.key == 0) continue;
    std::size_t i = entry.key & mask;
    while (table_[i].key != 0) i = (i + 1) & mask;
    table_[i] = entry;
  }
}

CardMemories::Entry& CardMemories::EntryOf(CardKey key) {
  key = Stored(key);
  if ((used_ + 1) * 2 > table_.size()) Grow();
  const std::size_t mask = table_.size() - 1;
  std::size_t i = key & mask;
  while (table_[i].key != 0 && table_[i].key != key) i = (i + 1) & mask;
  if (table_[i].key == 0) {
    table_[i].key = key;
    table_[i].last = -1;
    ++used_;
  }
  return table_[i];
}

std::optional<CardState> CardMemories::Update(Entry& entry, const CardHistory& history,
                                              double retention) {
  const std::int64_t last = *history.lastAnswered();
  if (entry.last != last) {
    const std::vector<MemoryReview> reviews = MemoryReviewsOf(history.reviews());
    entry.last = last;
    entry.retention = 0;
    entry.known = false;
    if (const std::optional<CardMemory> memory = ReplayCard(reviews, w_)) {
      entry.known = true;
      entry.state = CardState{*memory, reviews.front().day, 0};
    }
  }
  if (!entry.known) return std::nullopt;
  if (entry.retention != retention) {
    entry.state.dueDay = DueDayOfMemory(entry.state.memory, retention, w_);
    entry.retention = retention;
  }
  return entry.state;
}

std::optional<CardState> CardMemories::Of(CardKey key, const CardHistory& history,
                                          double retention) {
  if (!history.lastAnswered()) return std::nullopt;
  return Update(EntryOf(key), history, retention);
}

std::vector<std::optional<CardState>> CardMemories::Of(std::span<const Card> cards,
                                                       double retention) {
  constexpr std::size_t kAhead = 8;
  std::vector<std::optional<CardState>> states;
  states.reserve(cards.size());
  for (std::size_t i = 0; i < cards.size(); ++i) {
    if (i + kAhead < cards.size() && !table_.empty()) {
      __builtin_prefetch(&table_[Stored(cards[i + kAhead].key) & (table_.size() - 1)]);
    }
    states.push_back(Of(cards[i].key, cards[i].history, retention));
  }
  return states;
}

int DueDayOfMemory(const CardMemory& memory, double retention, const MemoryParameters& w) {
  const double days = IntervalForRetention(memory.state.stability, retention, w);
  return memory.lastDay + std::max(1, static_cast<int>(std::lround(days)));
}

MemoryLog MemoryLogOf(const ReviewHistory& history) {
  std::vector<CardKey> keys = history.Keys();
  std::sort(keys.begin(), keys.end());  // the same log, the same cards held out
  MemoryLog log;
  for (const CardKey key : keys) log.AddCard(MemoryReviewsOf(history.Of(key)));
  return log;
}

std::vector<MemoryReview> MemoryReviewsOf(const std::vector<Review>& reviews) {
  std::vector<MemoryReview> memory;
  memory.reserve(reviews.size());
  for (const Review& review : reviews) {
    memory.push_back({DayOfMoment(review.moment), static_cast<int>(review.grade)});
  }
  return memory;
}

}  // namespace qev
