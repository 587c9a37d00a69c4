#include "events/point_list.h"

#include <algorithm>
#include <charconv>
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
  bcEntries_.clear();
  adEntries_.clear();
  keys_.clear();
  entries_.clear();
  points_ = std::make_shared<const std::vector<TimelinePoint>>();
}

void PointList::AddKeysOfSlot(int k, const FileSlot& slot, const LineFilter& passes) {
  for (std::size_t j = 0; j < slot.Count(); ++j) {
    std::string_view line = slot.Line(j);
    if (!passes(line)) continue;
    std::string_view head = EventHead(line);
    char era = ByteAt(head, 0);
    if (era != 'A' && era != 'B') continue;
    std::string_view date = SecondDateText(line);
    Entry e;
    e.key.reserve(head.size() + date.size() + 12);
    e.key.append(head).append(";");
    AppendInt(e.key, k);
    e.key.append(";");
    AppendInt(e.key, static_cast<long long>(j));
    const std::size_t thirdSemi = e.key.size();
    e.key.append(";").append(date).append(";");
    e.bc = era == 'B';
    e.year1 = LeadingInt(head.substr(std::min<std::size_t>(2, head.size())));
    e.slot = k;
    e.line = static_cast<int>(j);
    e.id = slot.IdAt(j);
    SecondDate second = SecondDateOfKey(e.key, thirdSemi);
    e.hasEnd = second.present;
    e.endBc = ByteAt(second.label, 0) == 'B';
    e.year2 = second.year;
    (e.bc ? bcEntries_ : adEntries_).push_back(std::move(e));
  }
}

void PointList::MergeChronological() {
  // Keys are unique (slot and line), so an unstable sort gives one order.
  auto less = [](const Entry& a, const Entry& b) { return CollateLess(a.key, b.key); };
  std::sort(bcEntries_.begin(), bcEntries_.end(), less);
  std::sort(adEntries_.begin(), adEntries_.end(), less);
  keys_.clear();
  entries_.clear();
  keys_.reserve(bcEntries_.size() + adEntries_.size());
  entries_.reserve(bcEntries_.size() + adEntries_.size());
  auto take = [this](Entry& e) {
    keys_.push_back(std::move(e.key));
    entries_.push_back(std::move(e));
  };
  std::for_each(bcEntries_.rbegin(), bcEntries_.rend(), take);
  std::for_each(adEntries_.begin(), adEntries_.end(), take);
  bcEntries_.clear();
  adEntries_.clear();
}

void PointList::PlacePoints(const YearToOffset& yearToOffset) {
  std::vector<TimelinePoint> points;
  points.reserve(entries_.size());
  for (const Entry& e : entries_) {
    TimelinePoint point;
    point.bc = e.bc;
    point.offset1 = yearToOffset(e.year1);
    point.slot = e.slot;
    point.line = e.line;
    point.serial = e.id.serial;
    if (e.hasEnd) {
      point.hasEnd = true;
      point.endBc = e.endBc;
      point.offset2 = yearToOffset(e.year2);
    }
    points.push_back(point);
  }
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
  Clear();
  for (int k = 0; k < EventStore::kSlotCount; ++k) {
    const FileSlot& slot = store.slots[static_cast<std::size_t>(k)];
    if (slot.loaded == 1 && slot.on == 1 && slot.Count() > 0) {
      AddKeysOfSlot(k, slot, passes);
    }
  }
  MergeChronological();
  PlacePoints(yearToOffset);
}

}  // namespace qev
