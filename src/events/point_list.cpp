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
SecondDate SecondDateOfKey(std::string_view key) {
  SecondDate date;
  std::size_t p = FindNth(key, ';', 3);
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
  bcKeys_.clear();
  adKeys_.clear();
  keys_.clear();
  placed_.clear();
  points_ = std::make_shared<const std::vector<TimelinePoint>>();
}

void PointList::AddKeysOfSlot(int k, const FileSlot& slot, const LineFilter& passes) {
  for (std::size_t j = 0; j < slot.lines.size(); ++j) {
    std::string_view line = slot.lines[j];
    if (!passes(line)) continue;
    std::string_view head = EventHead(line);
    char era = ByteAt(head, 0);
    if (era != 'A' && era != 'B') continue;
    std::string_view date = SecondDateText(line);
    Sjis key;
    key.reserve(head.size() + date.size() + 12);
    key.append(head).append(";");
    AppendInt(key, k);
    key.append(";");
    AppendInt(key, static_cast<long long>(j));
    key.append(";").append(date).append(";");
    (era == 'B' ? bcKeys_ : adKeys_).push_back(std::move(key));
  }
}

void PointList::MergeChronological() {
  // Keys are unique (slot and line), so an unstable sort gives one order.
  std::sort(bcKeys_.begin(), bcKeys_.end(), CollateLess);
  std::sort(adKeys_.begin(), adKeys_.end(), CollateLess);
  keys_.clear();
  keys_.reserve(bcKeys_.size() + adKeys_.size());
  std::move(bcKeys_.rbegin(), bcKeys_.rend(), std::back_inserter(keys_));
  std::move(adKeys_.begin(), adKeys_.end(), std::back_inserter(keys_));
  bcKeys_.clear();
  adKeys_.clear();
}

void PointList::PlacePoints(const YearToOffset& yearToOffset) {
  placed_.clear();
  placed_.reserve(keys_.size());
  std::vector<TimelinePoint> points;
  points.reserve(keys_.size());
  for (const Sjis& key : keys_) {
    std::string_view head = Head(key, ';', kHeadLimit);
    TimelinePoint point;
    point.bc = ByteAt(head, 0) == 'B';
    point.offset1 = yearToOffset(LeadingInt(head.substr(std::min<std::size_t>(2, head.size()))));
    point.slot = LeadingInt(Field(key, ';', 1));
    point.line = LeadingInt(Field(key, ';', 2));

    Sjis entry;
    entry.reserve(head.size() + 32);
    entry.append(head).append(";");
    AppendInt(entry, point.offset1);
    SecondDate date = SecondDateOfKey(key);
    if (date.present) {
      point.hasEnd = true;
      point.endBc = ByteAt(date.label, 0) == 'B';
      point.offset2 = yearToOffset(date.year);
      entry.append(";").append(date.label).append(";");
      AppendInt(entry, point.offset2);
      entry.append(";");
    } else {
      entry.append(";;;");
    }
    placed_.push_back(std::move(entry));
    points.push_back(point);
  }
  points_ = std::make_shared<const std::vector<TimelinePoint>>(std::move(points));
}

void PointList::Rebuild(const EventStore& store, const LineFilter& passes,
                        const YearToOffset& yearToOffset) {
  Clear();
  for (int k = 0; k < EventStore::kSlotCount; ++k) {
    const FileSlot& slot = store.slots[static_cast<std::size_t>(k)];
    if (slot.loaded == 1 && slot.on == 1 && !slot.lines.empty()) {
      AddKeysOfSlot(k, slot, passes);
    }
  }
  MergeChronological();
  PlacePoints(yearToOffset);
}

}  // namespace qev
