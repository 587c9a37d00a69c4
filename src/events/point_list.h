#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "events/event_store.h"
#include "events/timeline_point.h"
#include "text/cp932.h"

namespace qev {

// The chronological list of the points of the loaded, switched-on slots that
// pass the level filter: BC years descending, then AD years ascending.
// Entry i of keys(), placed() and points() is the same point.
//
// key:    "head;slot;line;date text;"
// placed: "head;offset1;;;" or "head;offset1;date label;offset2;"
//
// The BC keys come in descending, the AD keys in ascending collation order
// (CollateLess). Since the line number is compared as text, AD lines of one
// year and slot come 1, 10, 11, 2 and BC lines the reverse.
class PointList {
 public:
  // Pixel offset from the era line of a year, for the current range.
  using YearToOffset = std::function<int(int)>;
  // Whether an event with these level characters (importance,
  // memorisation) becomes a point: the level filter.
  using LineFilter = std::function<bool(char, char)>;

  // Empties the list.
  void Clear();

  // The points of every slot with loaded = on = 1 that pass the filter, in
  // chronological order, placed. The order of every loaded slot's lines is
  // kept from one rebuild to the next while the slots' lines stay as they
  // are (a filter, priority or on/off click), and only filtered; a change of
  // any loaded slot's lines sorts it again. Keys whose head starts with
  // neither "A" nor "B" are dropped.
  void Rebuild(const EventStore& store, const LineFilter& passes, const YearToOffset& yearToOffset);

  // Places the points again with the offsets of the current range.
  void PlacePoints(const YearToOffset& yearToOffset);

  // Line j of slot k (as it is now in `slot`) changed, came or went (the
  // lines after it moving by one): the list follows without a rebuild, in
  // the order a rebuild would give. `passes` is the level filter's answer
  // for the line; the slot is one the list was built with.
  void InsertLine(int k, const FileSlot& slot, std::size_t j, bool passes,
                  const YearToOffset& yearToOffset);
  void RemoveLine(int k, const FileSlot& slot, std::size_t j, const YearToOffset& yearToOffset);
  void ReplaceLine(int k, const FileSlot& slot, std::size_t j, bool passes,
                   const YearToOffset& yearToOffset);

  std::size_t size() const { return points_->size(); }
  bool empty() const { return points_->empty(); }
  const std::vector<TimelinePoint>& points() const { return *points_; }
  // The same points, kept alive for as long as a drawing held back for
  // later needs them, even when the list is rebuilt meanwhile.
  std::shared_ptr<const std::vector<TimelinePoint>> sharedPoints() const { return points_; }

  // Composed on request from the points and the lines of `store` (the store
  // the list was built from and follows).
  Sjis KeyAt(std::size_t i, const EventStore& store) const;
  std::vector<Sjis> keys(const EventStore& store) const;
  std::vector<Sjis> placed(const EventStore& store) const;

 private:
  // What ordering, filtering and placing a line's point needs, read once
  // from the line. Most heads are "AD" or "BC" and four digits: their key's
  // order up to the line number is packed into `order`; any other head is
  // kept in heads_ and compared as text.
  struct Entry {
    std::uint64_t order = 0;
    std::uint64_t serial = 0;
    std::int32_t line = 0;
    std::int32_t year1 = 0;
    std::int32_t year2 = 0;
    std::uint32_t irregularHead = 0;  // 0, or 1 + its index in heads_
    std::uint8_t slot = 0;
    bool bc = false;
    bool hasEnd = false;
    bool endBc = false;
    char importance = '\0';
    char memorisation = '\0';
    bool shown = false;  // on a switched-on slot and through the filter
  };

  std::optional<Entry> MakeEntry(int k, std::size_t j, std::string_view line, EventId id);
  // The key's text up to its line number: "head;slot;line;".
  Sjis OrderText(const Entry& e) const;
  // Collation order of the keys of two entries of one era.
  bool KeyLess(const Entry& a, const Entry& b) const;
  // The order of all_: BC keys descending, then AD keys ascending.
  bool ChronoLess(const Entry& a, const Entry& b) const;
  // Whether two entries differ only in their line number.
  bool SameRun(const Entry& a, const Entry& b) const;
  void SortAll();
  // Moves the line numbers of slot k's entries from line `from` on by `by`.
  void Renumber(int k, std::size_t from, int by);
  // Takes out the entry of line j of slot k, if listed.
  void Erase(int k, std::size_t j);
  // Puts the entry of line j of `slot` where its key belongs.
  void Put(int k, const FileSlot& slot, std::size_t j, bool passes);
  // all_ follows `slot` again after one change of its lines; when it had
  // missed an earlier one, the next rebuild sorts afresh.
  void Followed(int k, const FileSlot& slot);
  // Makes points() from the shown entries, placed.
  void Publish(const YearToOffset& yearToOffset);

  // Every entry of the slots with loaded = 1, whatever the filter or their
  // on flag, in chronological order; made for the slots' lines at
  // `allRevisions_` (0 for a slot not in it).
  std::vector<Entry> all_;
  std::vector<Sjis> heads_;
  std::array<std::uint64_t, EventStore::kSlotCount> allRevisions_{};
  bool allMade_ = false;
  std::shared_ptr<const std::vector<TimelinePoint>> points_ =
      std::make_shared<const std::vector<TimelinePoint>>();
};

}  // namespace qev
