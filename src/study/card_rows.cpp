#include "study/card_rows.h"

#include <algorithm>
#include <bitset>

#include "events/event_line.h"
#include "study/card_memories.h"
#include "study/card_pool.h"
#include "text/byte_fields.h"

namespace qev {
namespace {

std::int8_t ImportanceOf(std::string_view line) {
  const char digit = ByteAt(line, kImportancePos);
  return static_cast<std::int8_t>(digit >= '1' && digit <= '5' ? digit - '0' : 0);
}

std::vector<const TimelinePoint*> PointsFrom(const std::vector<TimelinePoint>& points,
                                             std::size_t from, std::size_t to) {
  std::vector<const TimelinePoint*> batch;
  batch.reserve(to - from);
  for (std::size_t p = from; p < to; ++p) batch.push_back(&points[p]);
  return batch;
}

}  // namespace

void CardRows::Remember(CardRow& row, const ReviewHistory& history, CardMemories& memories,
                        double retention) const {
  row.answered = false;
  if (row.waiting) return;
  const std::optional<std::int64_t> last = history.LastAnswered(row.key);
  if (!last) return;
  const std::optional<CardState> state =
      memories.Of(row.key, history.Card(row.key, last), retention);
  if (!state) return;
  row.answered = true;
  row.stability = state->memory.state.stability;
  row.lastDay = state->memory.lastDay;
  row.dueDay = state->dueDay;
  row.firstDay = state->firstDay;
}

bool CardRows::SamePool(CardPool& pool) const {
  if (!made_ || &pool.history() != history_ || generation_ == 0) return false;
  if (!std::equal(askedKinds_.begin(), askedKinds_.end(), pool.kinds().begin(),
                  pool.kinds().end())) {
    return false;
  }
  const std::vector<TimelinePoint>& points = pool.points();
  if (points.size() != ids_.size()) return false;
  for (std::size_t p = 0; p < points.size(); ++p) {
    if (points[p].serial != ids_[p].serial || points[p].slot != ids_[p].slot) return false;
  }
  return true;
}

void CardRows::Make(CardPool& pool, CardMemories& memories, double retention) {
  rows_.clear();
  points_.clear();
  kinds_.clear();
  ids_.clear();
  pool.events().ReplacedSince(stamp_);
  const std::vector<TimelinePoint>& points = pool.points();
  ids_.reserve(points.size());
  for (const TimelinePoint& point : points) ids_.push_back(point.id());
  for (std::size_t from = 0; from < points.size(); from += CardPool::kBatch) {
    const std::size_t to = std::min(points.size(), from + CardPool::kBatch);
    for (const CardPool::Draft& draft : pool.DraftsOf(PointsFrom(points, from, to))) {
      CardRow row;
      row.key = draft.key;
      row.importance = ImportanceOf(draft.event.line);
      row.waiting = draft.waiting;
      Remember(row, pool.history(), memories, retention);
      rows_.push_back(row);
      points_.push_back(static_cast<std::uint32_t>(from + draft.point));
      kinds_.push_back(static_cast<std::uint8_t>(draft.kind));
    }
  }
  askedKinds_.assign(pool.kinds().begin(), pool.kinds().end());
  history_ = &pool.history();
  notedSeen_ = history_->noted().size();
  generation_ = memories.generation();
  retention_ = retention;
  made_ = true;
}

bool CardRows::Remake(CardPool& pool, std::size_t p, CardMemories& memories, double retention) {
  const auto first = std::lower_bound(points_.begin(), points_.end(), p);
  const auto last = std::upper_bound(first, points_.end(), p);
  const TimelinePoint* point = &pool.points()[p];
  const std::vector<CardPool::Draft> drafts = pool.DraftsOf({&point, 1});
  if (drafts.size() != static_cast<std::size_t>(last - first)) return false;
  auto at = static_cast<std::size_t>(first - points_.begin());
  for (const CardPool::Draft& draft : drafts) {
    if (draft.kind != kinds_[at]) return false;
    CardRow& row = rows_[at++];
    row.key = draft.key;
    row.importance = ImportanceOf(draft.event.line);
    row.waiting = draft.waiting;
    Remember(row, pool.history(), memories, retention);
  }
  return true;
}

bool CardRows::ReplacedPoints(CardPool& pool, std::vector<std::size_t>& points) {
  const std::optional<std::vector<EventId>> replaced = pool.events().ReplacedSince(stamp_);
  if (!replaced) return false;
  for (const EventId& id : *replaced) {
    // A replaced line not on the line now has no rows; one that came onto
    // it changed the points, and the rows were made anew.
    const auto it = std::find(ids_.begin(), ids_.end(), id);
    if (it != ids_.end()) points.push_back(static_cast<std::size_t>(it - ids_.begin()));
  }
  return true;
}

std::vector<std::size_t> CardRows::AnsweredPoints(const ReviewHistory& history) {
  const std::vector<CardKey>& noted = history.noted();
  std::vector<std::size_t> points;
  if (notedSeen_ == noted.size()) return points;
  std::vector<CardKey> keys(noted.begin() + static_cast<std::ptrdiff_t>(notedSeen_), noted.end());
  notedSeen_ = noted.size();
  std::sort(keys.begin(), keys.end());
  // Keys are well mixed hashes: their top bits sift out nearly every row
  // before a search.
  std::bitset<4096> sieve;
  for (const CardKey key : keys) sieve.set(key >> 52);
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (sieve.test(rows_[i].key >> 52) &&
        std::binary_search(keys.begin(), keys.end(), rows_[i].key)) {
      points.push_back(points_[i]);
    }
  }
  return points;
}

std::span<const CardRow> CardRows::Of(CardPool& pool, CardMemories& memories, double retention) {
  if (!SamePool(pool) || memories.generation() != generation_) {
    Make(pool, memories, retention);
    return rows_;
  }
  std::vector<std::size_t> changed;
  if (!ReplacedPoints(pool, changed)) {
    Make(pool, memories, retention);
    return rows_;
  }
  const std::vector<std::size_t> answered = AnsweredPoints(pool.history());
  changed.insert(changed.end(), answered.begin(), answered.end());
  std::sort(changed.begin(), changed.end());
  changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
  for (const std::size_t p : changed) {
    if (!Remake(pool, p, memories, retention)) {
      Make(pool, memories, retention);
      return rows_;
    }
  }
  if (retention != retention_) {
    // The due day follows from the memory alone.
    for (CardRow& row : rows_) {
      if (row.answered) {
        row.dueDay =
            DueDayOfMemory({{row.stability, 0}, row.lastDay}, retention, memories.parameters());
      }
    }
    retention_ = retention;
  }
  return rows_;
}

}  // namespace qev
