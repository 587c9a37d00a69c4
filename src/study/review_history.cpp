#include "study/review_history.h"

#include <algorithm>
#include <limits>

#include "study/study_log.h"
#include "study/study_time.h"

namespace qev {
namespace {

std::uint64_t HashOfKind(std::string_view kind) {
  std::uint64_t h = 0xCBF29CE484222325ULL;
  for (char c : kind) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
  return h;
}

}  // namespace

std::uint64_t KindPartOfCard(std::string_view kind) {
  return HashOfKind(kind) * 0x9E3779B97F4A7C15ULL;
}

CardKey CardKeyOf(EventKey event, std::uint64_t kindPart) {
  // The kind's hash spread over the event's, so that the cards of one event
  // fall apart in the table.
  std::uint64_t z = event ^ kindPart;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

CardKey KeyOfCard(EventKey event, std::string_view kind) {
  return CardKeyOf(event, KindPartOfCard(kind));
}

std::vector<Review> CardHistory::reviews() const {
  if (!history_ || !last_) return {};
  return history_->Of(key_);
}

ReviewHistory ReviewHistory::Parse(std::string_view bytes) {
  ReviewHistory history;
  // One line per answer, nearly always: room for them all at once.
  const auto lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
  history.Reserve(lines);
  history.reviews_.reserve(lines);
  history.previous_.reserve(lines);
  history.skipped_ = ReadStudyLog(bytes, [&](const StudyLogEntryView& entry) {
    const EventKey event = KeyOfLogFields(entry.baseName, entry.dateField, entry.eventText);
    history.Add(KeyOfCard(event, entry.kind),
                {Moment(entry.time), entry.seconds, entry.grade, entry.right, entry.hint});
    if (entry.confusedWith) history.NoteConfusion(event, *entry.confusedWith);
  });
  history.Shrink();
  return history;
}

void ReviewHistory::NoteConfusion(EventKey asked, EventKey taken) {
  confusions_.emplace_back(asked, taken);
}

std::vector<EventKey> ReviewHistory::ConfusedWith(EventKey event) const {
  std::vector<EventKey> confused;
  for (auto it = confusions_.rbegin(); it != confusions_.rend(); ++it) {
    const EventKey other = it->first == event    ? it->second
                           : it->second == event ? it->first
                                                 : event;
    if (other != event && std::find(confused.begin(), confused.end(), other) == confused.end()) {
      confused.push_back(other);
    }
  }
  return confused;
}

ReviewHistory ReviewHistory::Read(const std::filesystem::path& path) {
  return Parse(StudyLogBytes(path));
}

// At most half full; keys are well mixed hashes, so their low bits index.
std::size_t ReviewHistory::TableSize(std::size_t cards) {
  std::size_t size = 64;
  while (size < 2 * cards) size *= 2;
  return size;
}

void ReviewHistory::Rehash(std::size_t size) {
  std::vector<Slot> old = std::move(table_);
  std::vector<std::uint32_t> oldHeads = std::move(heads_);
  table_.assign(size, Slot{});
  heads_.assign(size, kNone);
  used_ = 0;
  for (std::size_t i = 0; i < old.size(); ++i) {
    if (old[i].key == 0) continue;
    const std::size_t at = SlotOf(old[i].key);
    table_[at] = old[i];
    heads_[at] = oldHeads[i];
  }
}

void ReviewHistory::Reserve(std::size_t cards) {
  if (TableSize(cards) > table_.size()) Rehash(TableSize(cards));
}

void ReviewHistory::Shrink() {
  // Many answers to fewer cards: a table no larger than they need keeps
  // the lookups of a round in the cache.
  if (TableSize(used_) < table_.size()) Rehash(TableSize(used_));
}

std::size_t ReviewHistory::SlotOf(CardKey key) {
  key = Stored(key);
  Reserve(used_ + 1);
  const std::size_t mask = table_.size() - 1;
  for (std::size_t i = key & mask;; i = (i + 1) & mask) {
    if (table_[i].key == 0) {
      ++used_;
      table_[i] = {key, std::numeric_limits<std::int64_t>::min()};
      heads_[i] = kNone;
      return i;
    }
    if (table_[i].key == key) return i;
  }
}

const ReviewHistory::Slot* ReviewHistory::Find(CardKey key) const {
  if (table_.empty()) return nullptr;
  key = Stored(key);
  const std::size_t mask = table_.size() - 1;
  for (std::size_t i = key & mask; table_[i].key != 0; i = (i + 1) & mask) {
    if (table_[i].key == key) return &table_[i];
  }
  return nullptr;
}

void ReviewHistory::Note(CardKey key, const Review& review) {
  Add(key, review);
  noted_.push_back(key);
}

void ReviewHistory::Add(CardKey key, const Review& review) {
  const std::size_t at = SlotOf(key);
  table_[at].moment = std::max(table_[at].moment, review.moment);
  previous_.push_back(heads_[at]);
  heads_[at] = static_cast<std::uint32_t>(reviews_.size());
  reviews_.push_back(review);
}

std::optional<std::int64_t> ReviewHistory::LastAnswered(CardKey key) const {
  if (const Slot* slot = Find(key)) return slot->moment;
  return std::nullopt;
}

std::vector<std::optional<std::int64_t>> ReviewHistory::LastAnswered(
    std::span<const CardKey> keys) const {
  constexpr std::size_t kAhead = 8;
  std::vector<std::optional<std::int64_t>> last;
  last.reserve(keys.size());
  const std::size_t mask = table_.empty() ? 0 : table_.size() - 1;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (i + kAhead < keys.size() && !table_.empty()) {
      __builtin_prefetch(&table_[Stored(keys[i + kAhead]) & mask]);
    }
    last.push_back(LastAnswered(keys[i]));
  }
  return last;
}

std::vector<Review> ReviewHistory::Of(CardKey key) const {
  std::vector<Review> found;
  const Slot* slot = Find(key);
  if (!slot) return found;
  const auto at = static_cast<std::size_t>(slot - table_.data());
  for (std::uint32_t i = heads_[at]; i != kNone; i = previous_[i]) found.push_back(reviews_[i]);
  std::reverse(found.begin(), found.end());
  std::stable_sort(found.begin(), found.end(),
                   [](const Review& a, const Review& b) { return a.moment < b.moment; });
  return found;
}

std::vector<CardKey> ReviewHistory::Keys() const {
  std::vector<CardKey> keys;
  keys.reserve(used_);
  for (const Slot& slot : table_) {
    if (slot.key != 0) keys.push_back(slot.key);
  }
  return keys;
}

}  // namespace qev
