#include "events/point_list.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
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

// What a key says about a point's second date, read from its date text.
struct SecondDate {
  bool present = false;
  std::string_view label;  // e.g. "AD0794"; its first letter is the end era
  int year = 0;
};

// An empty date text or one starting with ";" means no second date;
// otherwise the label runs from the first "A" or "B" to the next ";", and
// the year is read after the first "C" or "D". A date text without these
// letters gives no second date.
SecondDate SecondDateOf(std::string_view date) {
  SecondDate second;
  if (ByteAt(date, 0) == '\0' || ByteAt(date, 0) == ';') return second;
  const std::size_t era = date.find_first_of("AB");
  const std::size_t yearLetter = date.find_first_of("CD");
  if (era == kNoPos || yearLetter == kNoPos) return second;
  second.present = true;
  second.label = Head(date.substr(era), ';');
  second.year = LeadingInt(date.substr(yearLetter + 1));
  return second;
}

Sjis KeyOfLine(int k, int j, std::string_view line) {
  const std::string_view head = EventHead(line);
  const std::string_view date = SecondDateText(line);
  Sjis key;
  key.reserve(head.size() + date.size() + 16);
  key.append(head).append(";");
  AppendInt(key, k);
  key.append(";");
  AppendInt(key, j);
  key.append(";").append(date).append(";");
  return key;
}

// A head "AD" or "BC" and four digits, whose key's order up to its line
// number packs into 64 bits.
bool IsPlainHead(std::string_view head) {
  if (head.size() != 6 || !(head.starts_with("AD") || head.starts_with("BC"))) return false;
  return std::all_of(head.begin() + 2, head.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The line number as its text sorts (1, 10, 11, 2): a digit in four bits
// each, first digit highest, a shorter number padded with zero, which is
// below every digit as ";" is in the key.
constexpr int kLineDigits = 10;
std::uint64_t LineAsText(std::int32_t line) {
  char digits[16];
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, line);
  const auto n = end - digits;
  std::uint64_t packed = 0;
  for (int i = 0; i < kLineDigits; ++i) {
    packed = packed << 4 | (i < n ? static_cast<std::uint64_t>(digits[i] - '0' + 1) : 0);
  }
  return packed;
}

constexpr int kLineBits = 4 * kLineDigits;
constexpr int kSlotBits = 4;
constexpr std::uint64_t kOrderMask = (std::uint64_t{1} << 62) - 1;

std::uint64_t PackOrder(int year, int slot, std::int32_t line) {
  return static_cast<std::uint64_t>(year) << (kLineBits + kSlotBits) |
         static_cast<std::uint64_t>(slot) << kLineBits | LineAsText(line);
}

// The offsets of the years of the common range, each asked for once.
class PlacedYears {
 public:
  explicit PlacedYears(const PointList::YearToOffset& yearToOffset) : yearToOffset_(yearToOffset) {
    offsets_.fill(kUnset);
  }
  int operator()(int year) {
    if (year < 0 || year >= static_cast<int>(offsets_.size())) return yearToOffset_(year);
    int& offset = offsets_[static_cast<std::size_t>(year)];
    if (offset == kUnset) offset = yearToOffset_(year);
    return offset;
  }

 private:
  static constexpr int kUnset = INT_MIN;
  const PointList::YearToOffset& yearToOffset_;
  std::array<int, 10000> offsets_;
};

}  // namespace

void PointList::Clear() {
  all_.clear();
  heads_.clear();
  allMade_ = false;
  points_ = std::make_shared<const std::vector<TimelinePoint>>();
}

std::optional<PointList::Entry> PointList::MakeEntry(int k, std::size_t j, std::string_view line,
                                                     EventId id) {
  const std::string_view head = EventHead(line);
  const char era = ByteAt(head, 0);
  if (era != 'A' && era != 'B') return std::nullopt;
  Entry e;
  e.bc = era == 'B';
  e.year1 = LeadingInt(head.substr(std::min<std::size_t>(2, head.size())));
  e.slot = static_cast<std::uint8_t>(k);
  e.line = static_cast<std::int32_t>(j);
  e.serial = id.serial;
  const EventLevels levels = LevelsOf(line);
  e.memorisation = levels.memorisation;
  e.importance = levels.importance;
  const SecondDate second = SecondDateOf(SecondDateText(line));
  e.hasEnd = second.present;
  e.endBc = ByteAt(second.label, 0) == 'B';
  e.year2 = second.year;
  if (IsPlainHead(head)) {
    e.order = PackOrder(e.year1, k, e.line);
  } else {
    heads_.emplace_back(head);
    e.irregularHead = static_cast<std::uint32_t>(heads_.size());
  }
  return e;
}

Sjis PointList::OrderText(const Entry& e) const {
  Sjis text;
  if (e.irregularHead != 0) {
    text = heads_[e.irregularHead - 1];
  } else {
    text.append(e.bc ? "BC" : "AD");
    char year[8];
    std::snprintf(year, sizeof year, "%04d", e.year1);
    text += year;
  }
  text += ";";
  AppendInt(text, e.slot);
  text += ";";
  AppendInt(text, e.line);
  text += ";";
  return text;
}

// Two keys of different lines always differ before their date texts (a
// head holds no ";", and slot and line name one line), so the text up to
// the line number orders them as the whole keys do.
bool PointList::KeyLess(const Entry& a, const Entry& b) const {
  if (a.irregularHead == 0 && b.irregularHead == 0) return a.order < b.order;
  return CollateLess(OrderText(a), OrderText(b));
}

bool PointList::ChronoLess(const Entry& a, const Entry& b) const {
  if (a.bc != b.bc) return a.bc;
  return a.bc ? KeyLess(b, a) : KeyLess(a, b);
}

bool PointList::SameRun(const Entry& a, const Entry& b) const {
  if (a.bc != b.bc || a.slot != b.slot) return false;
  if (a.irregularHead == 0 && b.irregularHead == 0) {
    return a.order >> kLineBits == b.order >> kLineBits;
  }
  const Sjis ta = OrderText(a);
  const Sjis tb = OrderText(b);
  return CollateCompare(std::string_view(ta).substr(0, ta.find(';')),
                        std::string_view(tb).substr(0, tb.find(';'))) == 0;
}

void PointList::SortAll() {
  // Sorted as 16-byte items, the packed keys compared alone; a pair with an
  // irregular head is compared as text.
  struct Item {
    std::uint64_t chrono;
    std::uint32_t index;
    bool irregular;
  };
  std::vector<Item> items;
  items.reserve(all_.size());
  for (std::size_t i = 0; i < all_.size(); ++i) {
    const Entry& e = all_[i];
    const std::uint64_t chrono = e.bc ? ~e.order & kOrderMask : std::uint64_t{1} << 62 | e.order;
    items.push_back({chrono, static_cast<std::uint32_t>(i), e.irregularHead != 0});
  }
  if (heads_.empty()) {
    // Packed keys alone: four stable passes of 16 bits, lowest first, cost
    // a fraction of a comparison sort at a million keys.
    std::vector<Item> spare(items.size());
    for (int shift = 0; shift < 64; shift += 16) {
      std::vector<std::size_t> starts((1 << 16) + 1, 0);
      for (const Item& item : items) ++starts[(item.chrono >> shift & 0xffff) + 1];
      for (std::size_t d = 1; d < starts.size(); ++d) starts[d] += starts[d - 1];
      for (const Item& item : items) spare[starts[item.chrono >> shift & 0xffff]++] = item;
      items.swap(spare);
    }
  } else {
    // Keys are unique (slot and line), so an unstable sort gives one order.
    std::sort(items.begin(), items.end(), [this](const Item& a, const Item& b) {
      if (a.irregular || b.irregular) return ChronoLess(all_[a.index], all_[b.index]);
      return a.chrono < b.chrono;
    });
  }
  std::vector<Entry> sorted;
  sorted.reserve(all_.size());
  for (const Item& item : items) sorted.push_back(all_[item.index]);
  all_ = std::move(sorted);
}

void PointList::Renumber(int k, std::size_t from, int by) {
  std::vector<std::size_t> renamed;
  for (std::size_t i = 0; i < all_.size(); ++i) {
    Entry& e = all_[i];
    if (e.slot != k || e.line < static_cast<std::int32_t>(from)) continue;
    e.line += by;
    if (e.irregularHead == 0) e.order = PackOrder(e.year1, k, e.line);
    renamed.push_back(i);
  }
  // A renumbered line can pass another of its year and slot (9 -> 10 sorts
  // before 2), never a key of another head or slot: those differ before the
  // line number. So only the run of entries sharing a renumbered entry's
  // head and slot is sorted again, each run once.
  std::size_t sortedUpTo = 0;
  for (std::size_t i : renamed) {
    if (i < sortedUpTo) continue;
    std::size_t lo = i;
    while (lo > 0 && SameRun(all_[lo - 1], all_[i])) --lo;
    std::size_t hi = i + 1;
    while (hi < all_.size() && SameRun(all_[hi], all_[i])) ++hi;
    std::sort(all_.begin() + static_cast<long>(lo), all_.begin() + static_cast<long>(hi),
              [this](const Entry& a, const Entry& b) { return ChronoLess(a, b); });
    sortedUpTo = hi;
  }
}

void PointList::Erase(int k, std::size_t j) {
  const auto at = std::find_if(all_.begin(), all_.end(), [&](const Entry& e) {
    return e.slot == k && e.line == static_cast<std::int32_t>(j);
  });
  if (at != all_.end()) all_.erase(at);
}

void PointList::Put(int k, const FileSlot& slot, std::size_t j, bool passes) {
  std::optional<Entry> e = MakeEntry(k, j, slot.Line(j), slot.IdAt(j));
  if (!e) return;
  e->shown = passes && slot.on;
  const auto at =
      std::lower_bound(all_.begin(), all_.end(), *e,
                       [this](const Entry& a, const Entry& b) { return ChronoLess(a, b); });
  all_.insert(at, *e);
}

void PointList::Followed(int k, const FileSlot& slot) {
  std::uint64_t& revision = allRevisions_[static_cast<std::size_t>(k)];
  if (allMade_ && revision == slot.priorRevision()) {
    revision = slot.Count() > 0 ? slot.revision() : 0;
  } else {
    allMade_ = false;
  }
}

void PointList::InsertLine(int k, const FileSlot& slot, std::size_t j, bool passes,
                           const YearToOffset& yearToOffset) {
  Renumber(k, j, 1);
  Put(k, slot, j, passes);
  Followed(k, slot);
  Publish(yearToOffset);
}

void PointList::RemoveLine(int k, const FileSlot& slot, std::size_t j,
                           const YearToOffset& yearToOffset) {
  Erase(k, j);
  Renumber(k, j + 1, -1);
  Followed(k, slot);
  Publish(yearToOffset);
}

void PointList::ReplaceLine(int k, const FileSlot& slot, std::size_t j, bool passes,
                            const YearToOffset& yearToOffset) {
  Erase(k, j);
  Put(k, slot, j, passes);
  Followed(k, slot);
  Publish(yearToOffset);
}

void PointList::PlacePoints(const YearToOffset& yearToOffset) {
  Publish(yearToOffset);
}

void PointList::Publish(const YearToOffset& yearToOffset) {
  const auto shown = static_cast<std::size_t>(
      std::count_if(all_.begin(), all_.end(), [](const Entry& e) { return e.shown; }));
  std::vector<TimelinePoint> points;
  points.reserve(shown);
  PlacedYears place(yearToOffset);
  for (const Entry& e : all_) {
    if (!e.shown) continue;
    points.push_back({.bc = e.bc,
                      .offset1 = place(e.year1),
                      .hasEnd = e.hasEnd,
                      .endBc = e.endBc,
                      .memorisation = e.memorisation,
                      .offset2 = e.hasEnd ? place(e.year2) : 0,
                      .slot = e.slot,
                      .line = e.line,
                      .serial = e.serial});
  }
  points_ = std::make_shared<const std::vector<TimelinePoint>>(std::move(points));
}

Sjis PointList::KeyAt(std::size_t i, const EventStore& store) const {
  const TimelinePoint& p = (*points_)[i];
  return KeyOfLine(
      p.slot, p.line,
      store.slots[static_cast<std::size_t>(p.slot)].Line(static_cast<std::size_t>(p.line)));
}

std::vector<Sjis> PointList::keys(const EventStore& store) const {
  std::vector<Sjis> keys;
  keys.reserve(size());
  for (std::size_t i = 0; i < size(); ++i) keys.push_back(KeyAt(i, store));
  return keys;
}

std::vector<Sjis> PointList::placed(const EventStore& store) const {
  std::vector<Sjis> placed;
  placed.reserve(size());
  for (const TimelinePoint& point : *points_) {
    const std::string_view line = store.slots[static_cast<std::size_t>(point.slot)].Line(
        static_cast<std::size_t>(point.line));
    Sjis entry(EventHead(line));
    entry.append(";");
    AppendInt(entry, point.offset1);
    const SecondDate date = SecondDateOf(SecondDateText(line));
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
    all_.clear();
    heads_.clear();
    std::size_t count = 0;
    for (std::size_t k = 0; k < revisions.size(); ++k) {
      if (revisions[k] != 0) count += store.slots[k].Count();
    }
    all_.reserve(count);
    for (std::size_t k = 0; k < revisions.size(); ++k) {
      if (revisions[k] == 0) continue;
      const FileSlot& slot = store.slots[k];
      for (std::size_t j = 0; j < slot.Count(); ++j) {
        if (std::optional<Entry> e =
                MakeEntry(static_cast<int>(k), j, slot.Line(j), slot.IdAt(j))) {
          all_.push_back(*e);
        }
      }
    }
    SortAll();
    allRevisions_ = revisions;
    allMade_ = true;
  }
  // The filter asked once per pair of level characters.
  std::vector<signed char> verdicts(1 << 16, -1);
  for (Entry& e : all_) {
    signed char& verdict = verdicts[static_cast<unsigned char>(e.importance) << 8 |
                                    static_cast<unsigned char>(e.memorisation)];
    if (verdict < 0) verdict = passes(e.importance, e.memorisation) ? 1 : 0;
    e.shown = verdict == 1 && store.slots[e.slot].on == 1;
  }
  Publish(yearToOffset);
}

}  // namespace qev
