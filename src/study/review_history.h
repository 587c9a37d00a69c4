#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "study/event_key.h"
#include "study/grade.h"

namespace qev {

// A card is one event asked one way: the event's key in the log and the
// question kind's name, hashed together. An event whose text is edited is
// a new event, so its cards start afresh.
using CardKey = std::uint64_t;
CardKey KeyOfCard(EventKey event, std::string_view kind);
// The same in two steps, the kind's part hashed once for many events.
std::uint64_t KindPartOfCard(std::string_view kind);
CardKey CardKeyOf(EventKey event, std::uint64_t kindPart);

// One answer to a card.
struct Review {
  std::int64_t moment = 0;     // Moment of the answer
  std::optional<int> seconds;  // taken to answer, when the log knows it
  Grade grade = Grade::kAgain;
  bool right = false;
  bool hint = false;
};

class ReviewHistory;

// What a scheduler knows of one card: when it was last answered, at once,
// and every answer, in time order, when asked for.
class CardHistory {
 public:
  CardHistory() = default;
  CardHistory(const ReviewHistory* history, CardKey key, std::optional<std::int64_t> last)
      : history_(history), key_(key), last_(last) {}
  std::optional<std::int64_t> lastAnswered() const { return last_; }
  std::vector<Review> reviews() const;

 private:
  const ReviewHistory* history_ = nullptr;
  CardKey key_ = 0;
  std::optional<std::int64_t> last_;
};

// Every answer of the study log, per card, in time order. The log is the
// only record of answers: the history is rebuilt from it and follows each
// answer appended to it.
class ReviewHistory {
 public:
  // The answers of a log file's bytes; see ReadStudyLog.
  static ReviewHistory Parse(std::string_view bytes);
  // The log file at `path`; empty when there is none or it cannot be read.
  static ReviewHistory Read(const std::filesystem::path& path);

  // An answer given now, as appending it to the log would record it.
  void Note(CardKey key, const Review& review);
  // The cards of the answers noted since the log was read, in their order:
  // what is kept of the cards between rounds follows them from where it
  // last looked.
  const std::vector<CardKey>& noted() const { return noted_; }

  // When the card was last answered (a Moment), or nothing.
  std::optional<std::int64_t> LastAnswered(CardKey key) const;
  // The same for many cards at once, in their order: the table's entries
  // are fetched a few keys ahead, as a round looks up thousands of cards.
  std::vector<std::optional<std::int64_t>> LastAnswered(std::span<const CardKey> keys) const;
  // The card's answers, oldest first (answers of the same second in log
  // order).
  std::vector<Review> Of(CardKey key) const;
  CardHistory Card(CardKey key, std::optional<std::int64_t> last) const {
    return {this, key, last};
  }

  // A wrong year that was another event's: the two were confused.
  void NoteConfusion(EventKey asked, EventKey taken);
  // The events confused with `event` either way, most recent first, each
  // once.
  std::vector<EventKey> ConfusedWith(EventKey event) const;

  // Every card answered, in no particular order.
  std::vector<CardKey> Keys() const;
  // Every answer, in log order.
  const std::vector<Review>& reviews() const { return reviews_; }
  std::size_t cards() const { return used_; }
  std::size_t skippedLines() const { return skipped_; }

 private:
  // Each card's last answer, by key: open addressing in one array, since a
  // node per card would cost a cache miss per lookup and a round looks up
  // every card of the line. Key 0 marks a free slot; a card whose key is 0
  // is kept under 1. A card's answers are chained from its last one back,
  // the chain's head beside the table so that a lookup reads 16 bytes.
  struct Slot {
    CardKey key = 0;
    std::int64_t moment = 0;
  };
  static constexpr std::uint32_t kNone = 0xFFFFFFFF;
  static CardKey Stored(CardKey key) { return key == 0 ? 1 : key; }
  static std::size_t TableSize(std::size_t cards);
  void Rehash(std::size_t size);
  void Reserve(std::size_t cards);
  void Shrink();
  // The index of the card's slot, made when it has none.
  std::size_t SlotOf(CardKey key);
  const Slot* Find(CardKey key) const;
  void Add(CardKey key, const Review& review);

  std::vector<Slot> table_;
  std::vector<std::uint32_t> heads_;  // per slot, the index of its last answer in reviews_
  std::size_t used_ = 0;
  std::vector<Review> reviews_;
  std::vector<std::uint32_t> previous_;  // per answer, the card's answer before it
  std::size_t skipped_ = 0;
  std::vector<std::pair<EventKey, EventKey>> confusions_;  // in log order
  std::vector<CardKey> noted_;
};

}  // namespace qev
