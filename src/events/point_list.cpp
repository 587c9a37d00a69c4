#include "events/point_list.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <optional>
#include <string_view>

#include "events/event_line.h"
#include "text/byte_fields.h"
#include "text/collation.h"

namespace qev {
namespace {

void AppendInt(Sjis& s, long long value) {
  char buffer[24];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  s.append(buffer, end);
}

// What a key says about a point's second date.
struct SecondDate {
  bool present = false;
  std::string_view label;  // e.g. "AD0794"; its first letter is the end era
  int year = 0;
};

// After the third ";" (the one ending the line number) a ";" means no
// second date; otherwise the label runs from the first "A" or "B" to the
// next ";", and the year is read after the first "C" or "D". A date text
// without these letters gives no second date.
// `p` is the position of that third ";" in the key.
SecondDate SecondDateOfKey(std::string_view key, std::size_t p) {
  SecondDate date;
  if (p == kNoPos || ByteAt(key, p + 1) == ';') return date;
  std::size_t era = key.find_first_of("AB", p + 1);
  std::size_t yearLetter = key.find_first_of("CD", p + 1);
  if (era == kNoPos || yearLetter == kNoPos) return date;
  date.present = true;
  date.label = Head(key.substr(era), ';');
  date.year = LeadingInt(key.substr(yearLetter + 1));
  return date;
}

}  // namespace

void PointList::Clear() {
  all_.clear();
  allMade_ = false;
  bcEntries_.clear();
  adEntries_.clear();
  keys_.clear();
  entries_.clear();
  points_ = std::make_shared<const std::vector<TimelinePoint>>();
}

std::optional<PointList::Entry> PointList::MakeEntry(int k, std::size_t j, std::string_view line,
                                                     EventId id) {
  std::string_view head = EventHead(line);
  char era = ByteAt(head, 0);
  if (era != 'A' && era != 'B') return std::nullopt;
  std::string_view date = SecondDateText(line);
  Entry e;
  e.key.reserve(head.size() + date.size() + 12);
  e.key.append(head).append(";");
  AppendInt(e.key, k);
  e.key.append(";");
  AppendInt(e.key, static_cast<long long>(j));
  const std::size_t thirdSemi = e.key.size();
  e.key.append(";").append(date).append(";");
  e.point.bc = era == 'B';
  e.year1 = LeadingInt(head.substr(std::min<std::size_t>(2, head.size())));
  e.point.slot = k;
  e.point.line = static_cast<int>(j);
  e.point.serial = id.serial;
  const EventLevels levels = LevelsOf(line);
  e.point.memorisation = levels.memorisation;
  e.importance = levels.importance;
  SecondDate second = SecondDateOfKey(e.key, thirdSemi);
  e.point.hasEnd = second.present;
  e.point.endBc = ByteAt(second.label, 0) == 'B';
  e.year2 = second.year;
  return e;
}

void PointList::AddKeysOfSlot(int k, const FileSlot& slot, const LineFilter& passes) {
  for (std::size_t j = 0; j < slot.Count(); ++j) {
    std::string_view line = slot.Line(j);
    const EventLevels levels = LevelsOf(line);
    if (!passes(levels.importance, levels.memorisation)) continue;
    if (std::optional<Entry> e = MakeEntry(k, j, line, slot.IdAt(j))) {
      (e->point.bc ? bcEntries_ : adEntries_).push_back(std::move(*e));
    }
  }
}

std::size_t PointList::BcCount() const {
  return static_cast<std::size_t>(std::partition_point(entries_.begin(), entries_.end(),
                                                       [](const Entry& e) { return e.point.bc; }) -
                                  entries_.begin());
}

void PointList::Put(Entry e) {
  const std::size_t bcCount = BcCount();
  const auto first = keys_.begin() + static_cast<long>(e.point.bc ? 0 : bcCount);
  const auto last = keys_.begin() + static_cast<long>(e.point.bc ? bcCount : keys_.size());
  const auto at =
      e.point.bc
          ? std::lower_bound(first, last, e.key,
                             [](const Sjis& k, const Sjis& key) { return CollateLess(key, k); })
          : std::lower_bound(first, last, e.key,
                             [](const Sjis& k, const Sjis& key) { return CollateLess(k, key); });
  const auto i = at - keys_.begin();
  keys_.insert(at, std::move(e.key));
  entries_.insert(entries_.begin() + i, std::move(e));
}

void PointList::Renumber(int k, std::size_t from, int by) {
  std::vector<std::size_t> renamed;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    Entry& e = entries_[i];
    if (e.point.slot != k || e.point.line < static_cast<int>(from)) continue;
    e.point.line += by;
    const std::size_t second = FindNth(keys_[i], ';', 2);
    const std::size_t third = FindNth(keys_[i], ';', 3);
    char digits[24];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, e.point.line);
    keys_[i].replace(second + 1, third - second - 1, digits,
                     static_cast<std::size_t>(end - digits));
    renamed.push_back(i);
  }
  // A renumbered line can pass another of its year and slot (9 -> 10 sorts
  // before 2), never a key of another head or slot: those differ before the
  // line number. So only the run of keys sharing a renumbered key's head and
  // slot is sorted again, each run once.
  const std::size_t bcCount = BcCount();
  std::size_t sortedUpTo = 0;
  for (std::size_t i : renamed) {
    if (i < sortedUpTo) continue;
    const std::string_view prefix =
        std::string_view(keys_[i]).substr(0, FindNth(keys_[i], ';', 2) + 1);
    const auto samePrefix = [&](std::size_t x) {
      return CollateCompare(std::string_view(keys_[x]).substr(0, prefix.size()), prefix) == 0;
    };
    std::size_t lo = i;
    while (lo > 0 && samePrefix(lo - 1)) --lo;
    std::size_t hi = i + 1;
    while (hi < keys_.size() && samePrefix(hi)) ++hi;
    SortRun(lo, hi, lo < bcCount);
    sortedUpTo = hi;
  }
}

void PointList::SortRun(std::size_t lo, std::size_t hi, bool bc) {
  std::vector<std::size_t> order(hi - lo);
  for (std::size_t x = 0; x < order.size(); ++x) order[x] = lo + x;
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return bc ? CollateLess(keys_[b], keys_[a]) : CollateLess(keys_[a], keys_[b]);
  });
  std::vector<Sjis> keys;
  std::vector<Entry> entries;
  for (std::size_t x : order) {
    keys.push_back(std::move(keys_[x]));
    entries.push_back(std::move(entries_[x]));
  }
  std::move(keys.begin(), keys.end(), keys_.begin() + static_cast<long>(lo));
  std::move(entries.begin(), entries.end(), entries_.begin() + static_cast<long>(lo));
}

void PointList::Erase(int k, std::size_t j) {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].point.slot == k && entries_[i].point.line == static_cast<int>(j)) {
      keys_.erase(keys_.begin() + static_cast<long>(i));
      entries_.erase(entries_.begin() + static_cast<long>(i));
      return;
    }
  }
}

void PointList::InsertLine(int k, std::size_t j, std::string_view line, EventId id, bool passes,
                           const YearToOffset& yearToOffset) {
  Renumber(k, j, 1);
  if (std::optional<Entry> e = passes ? MakeEntry(k, j, line, id) : std::nullopt) {
    Place(*e, yearToOffset);
    Put(std::move(*e));
  }
  Publish();
}

void PointList::RemoveLine(int k, std::size_t j) {
  Erase(k, j);
  Renumber(k, j + 1, -1);
  Publish();
}

void PointList::ReplaceLine(int k, std::size_t j, std::string_view line, EventId id, bool passes,
                            const YearToOffset& yearToOffset) {
  Erase(k, j);
  if (std::optional<Entry> e = passes ? MakeEntry(k, j, line, id) : std::nullopt) {
    Place(*e, yearToOffset);
    Put(std::move(*e));
  }
  Publish();
}

std::vector<PointList::Entry> PointList::Chronological(std::vector<Entry>& bc,
                                                       std::vector<Entry>& ad) {
  // Keys are unique (slot and line), so an unstable sort gives one order.
  auto less = [](const Entry& a, const Entry& b) { return CollateLess(a.key, b.key); };
  std::sort(bc.begin(), bc.end(), less);
  std::sort(ad.begin(), ad.end(), less);
  std::vector<Entry> list;
  list.reserve(bc.size() + ad.size());
  std::move(bc.rbegin(), bc.rend(), std::back_inserter(list));
  std::move(ad.begin(), ad.end(), std::back_inserter(list));
  // Their room is given back: at a million events it is tens of megabytes.
  bc = {};
  ad = {};
  return list;
}

void PointList::MergeChronological() {
  std::vector<Entry> list = Chronological(bcEntries_, adEntries_);
  keys_.clear();
  entries_.clear();
  keys_.reserve(list.size());
  entries_.reserve(list.size());
  for (Entry& e : list) {
    keys_.push_back(std::move(e.key));
    entries_.push_back(std::move(e));
  }
}

void PointList::Place(Entry& e, const YearToOffset& yearToOffset) {
  e.point.offset1 = yearToOffset(e.year1);
  if (e.point.hasEnd) e.point.offset2 = yearToOffset(e.year2);
}

void PointList::PlacePoints(const YearToOffset& yearToOffset) {
  for (Entry& e : entries_) Place(e, yearToOffset);
  Publish();
}

void PointList::Publish() {
  std::vector<TimelinePoint> points;
  points.reserve(entries_.size());
  for (const Entry& e : entries_) points.push_back(e.point);
  points_ = std::make_shared<const std::vector<TimelinePoint>>(std::move(points));
}

std::vector<Sjis> PointList::placed() const {
  std::vector<Sjis> placed;
  placed.reserve(keys_.size());
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    const Sjis& key = keys_[i];
    const TimelinePoint& point = (*points_)[i];
    Sjis entry(Head(key, ';', kHeadLimit));
    entry.append(";");
    AppendInt(entry, point.offset1);
    SecondDate date = SecondDateOfKey(key, FindNth(key, ';', 3));
    if (date.present) {
      entry.append(";").append(date.label).append(";");
      AppendInt(entry, point.offset2);
      entry.append(";");
    } else {
      entry.append(";;;");
    }
    placed.push_back(std::move(entry));
  }
  return placed;
}

void PointList::Rebuild(const EventStore& store, const LineFilter& passes,
                        const YearToOffset& yearToOffset) {
  std::array<std::uint64_t, EventStore::kSlotCount> revisions{};
  for (std::size_t k = 0; k < revisions.size(); ++k) {
    const FileSlot& slot = store.slots[k];
    if (slot.loaded == 1 && slot.Count() > 0) revisions[k] = slot.revision();
  }
  if (!allMade_ || revisions != allRevisions_) {
    const auto every = [](char, char) { return true; };
    for (std::size_t k = 0; k < revisions.size(); ++k) {
      if (revisions[k] != 0) AddKeysOfSlot(static_cast<int>(k), store.slots[k], every);
    }
    all_ = Chronological(bcEntries_, adEntries_);
    allRevisions_ = revisions;
    allMade_ = true;
  }
  keys_.clear();
  entries_.clear();
  for (const Entry& e : all_) {
    if (store.slots[static_cast<std::size_t>(e.point.slot)].on != 1 ||
        !passes(e.importance, e.point.memorisation)) {
      continue;
    }
    keys_.push_back(e.key);
    entries_.push_back({{}, e.year1, e.year2, e.point, e.importance});
  }
  PlacePoints(yearToOffset);
}

}  // namespace qev
