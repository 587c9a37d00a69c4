#include "study/card_pool.h"

#include <algorithm>
#include <optional>

#include "study/event_key.h"
#include "study/study_log.h"

namespace qev {
namespace {

// The lines of a batch are spread over memory: each is fetched a few
// events before it is read, so that the waits for them overlap instead of
// adding up over a long line.
constexpr std::size_t kAhead = 8;

std::vector<const TimelinePoint*> Batch(const std::vector<TimelinePoint>& points,
                                        std::size_t& next) {
  std::vector<const TimelinePoint*> batch;
  const std::size_t end = std::min(points.size(), next + CardPool::kBatch);
  batch.reserve(end - next);
  for (; next < end; ++next) batch.push_back(&points[next]);
  return batch;
}

}  // namespace

std::vector<CardPool::Draft> CardPool::DraftsOf(std::span<const TimelinePoint* const> points) {
  const std::vector<std::optional<PoolLine>> lines = events_.LinesOf(points);
  std::vector<std::optional<FileKeys>> files;  // by slot
  // The kinds' own parts of their card keys, hashed once per batch.
  std::vector<std::uint64_t> kindParts;
  kindParts.reserve(kinds_.size());
  for (const QuestionKind* kind : kinds_) kindParts.push_back(KindPartOfCard(kind->name()));
  const std::uint64_t yearPart = KindPartOfCard(kYearKindName);
  std::vector<Draft> drafts;
  drafts.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i + kAhead < lines.size() && lines[i + kAhead]) {
      const std::string_view later = lines[i + kAhead]->line;
      __builtin_prefetch(later.data());
      // The event text may lie beyond the first cache line.
      __builtin_prefetch(later.data() + std::min<std::size_t>(later.size(), 64));
    }
    if (!lines[i]) continue;
    const TimelinePoint& point = *points[i];
    const PoolEvent event{point.id(), lines[i]->baseName, lines[i]->line, point.memorisation};
    std::optional<EventKey> key;
    // Whether the event was answered by year: the kinds asked after the
    // year wait until it was, once.
    std::optional<bool> answeredByYear;
    for (std::size_t k = 0; k < kinds_.size(); ++k) {
      const QuestionKind* kind = kinds_[k];
      if (!kind->Asks(event.line)) continue;
      if (!key) {
        const auto slot = static_cast<std::size_t>(std::max(point.slot, 0));
        if (files.size() <= slot) files.resize(slot + 1);
        if (!files[slot]) files[slot].emplace(event.baseName);
        key = files[slot]->Of(event.line);
      }
      bool waiting = false;
      if (kind->AfterYear()) {
        if (!answeredByYear) {
          answeredByYear = history_.LastAnswered(CardKeyOf(*key, yearPart)).has_value();
        }
        waiting = !*answeredByYear;
      }
      drafts.push_back({i, k, event, CardKeyOf(*key, kindParts[k]), waiting});
    }
  }
  return drafts;
}

std::vector<Card> CardPool::CardsOf(std::span<const TimelinePoint* const> points) {
  std::vector<Card> cards;
  for (const Draft& draft : DraftsOf(points)) {
    if (!draft.waiting) cards.push_back({draft.event, kinds_[draft.kind], draft.key, {}});
  }
  std::vector<CardKey> keys;
  keys.reserve(cards.size());
  for (const Card& card : cards) keys.push_back(card.key);
  const std::vector<std::optional<std::int64_t>> last = history_.LastAnswered(keys);
  for (std::size_t i = 0; i < cards.size(); ++i) {
    cards[i].history = history_.Card(cards[i].key, last[i]);
  }
  return cards;
}

std::optional<Card> CardPool::CardOfRow(std::size_t row) {
  const TimelinePoint* point = &points()[rows_.PointOf(row)];
  const std::vector<std::optional<PoolLine>> lines = events_.LinesOf({&point, 1});
  if (lines.empty() || !lines.front()) return std::nullopt;
  const PoolEvent event{point->id(), lines.front()->baseName, lines.front()->line,
                        point->memorisation};
  const QuestionKind* kind = kinds_[rows_.KindOf(row)];
  const CardKey key = rows_.KeyOf(row);
  return Card{event, kind, key, history_.Card(key, history_.LastAnswered(key))};
}

std::vector<Card> CardPool::All() {
  const std::vector<TimelinePoint>& all = points();
  std::vector<const TimelinePoint*> every;
  every.reserve(all.size());
  for (const TimelinePoint& point : all) every.push_back(&point);
  return CardsOf(every);
}

std::vector<Card> CardPool::NextCards(std::size_t& next) {
  return CardsOf(Batch(points(), next));
}

bool CardPool::Any() {
  for (std::size_t next = 0; next < points().size();) {
    if (!NextCards(next).empty()) return true;
  }
  return false;
}

}  // namespace qev
