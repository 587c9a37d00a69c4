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
class PointList {
 public:
  // Pixel offset from the era line of a year, for the current range.
  using YearToOffset = std::function<int(int)>;
  // Whether an event with these level characters (importance,
  // memorisation) becomes a point: the level filter.
  using LineFilter = std::function<bool(char, char)>;

  // Empties every list.
  void Clear();

  // Collects the keys of slot k's lines that pass the filter. Keys whose
  // head starts with neither "A" nor "B" are dropped.
  void AddKeysOfSlot(int k, const FileSlot& slot, const LineFilter& passes);

  // Orders the collected keys into keys(): the BC keys in descending, then
  // the AD keys in ascending collation order (CollateLess). Since the line
  // number is compared as text, AD lines of one year and slot come 1, 10,
  // 11, 2 and BC lines the reverse. The collected keys are used up.
  void MergeChronological();

  // Builds placed() and points() from keys() with the offsets of the
  // current range. Run again whenever the range changes.
  void PlacePoints(const YearToOffset& yearToOffset);

  // The points of every slot with loaded = on = 1 that pass the filter, in
  // the order MergeChronological gives, placed. The chronological order of
  // every loaded slot's lines is kept from one rebuild to the next while
  // the slots' lines stay as they are (a filter, priority or on/off click),
  // and only filtered; a change of any loaded slot's lines sorts it again.
  void Rebuild(const EventStore& store, const LineFilter& passes, const YearToOffset& yearToOffset);

  // One line of slot k changed, came or went (the lines after it moving by
  // one): the list follows without a rebuild, in the order a rebuild would
  // give. `passes` is the level filter's answer for the line; the slot is
  // one the list was built with.
  void InsertLine(int k, std::size_t j, std::string_view line, EventId id, bool passes,
                  const YearToOffset& yearToOffset);
  void RemoveLine(int k, std::size_t j);
  void ReplaceLine(int k, std::size_t j, std::string_view line, EventId id, bool passes,
                   const YearToOffset& yearToOffset);

  std::size_t size() const { return keys_.size(); }
  bool empty() const { return keys_.empty(); }
  const std::vector<Sjis>& keys() const { return keys_; }
  // Composed on request from the keys and the points.
  std::vector<Sjis> placed() const;
  const std::vector<TimelinePoint>& points() const { return *points_; }
  // The same points, kept alive for as long as a drawing held back for
  // later needs them, even when the list is rebuilt meanwhile.
  std::shared_ptr<const std::vector<TimelinePoint>> sharedPoints() const { return points_; }

 private:
  // A key with what placing its point needs, read once when the key is made.
  struct Entry {
    Sjis key;
    int year1 = 0;
    int year2 = 0;
    // Its era and range end, slot, line and id, and its offsets for the
    // range the list was last placed for.
    TimelinePoint point;
    // Its line's importance character, for the filter.
    char importance = 0;
  };
  // The BC entries (in ascending collation order) and the AD entries made
  // into one list in chronological order, their keys kept.
  static std::vector<Entry> Chronological(std::vector<Entry>& bc, std::vector<Entry>& ad);
  static void Place(Entry& e, const YearToOffset& yearToOffset);
  // Makes points() from the entries as they are placed.
  void Publish();
  static std::optional<Entry> MakeEntry(int k, std::size_t j, std::string_view line, EventId id);
  // How many of the listed points are BC (they come first).
  std::size_t BcCount() const;
  // Sorts keys lo..hi (on one side) into list order again.
  void SortRun(std::size_t lo, std::size_t hi, bool bc);
  // Puts an entry where its key belongs.
  void Put(Entry e);
  // Moves the line numbers of slot k's entries from line `from` on by `by`.
  void Renumber(int k, std::size_t from, int by);
  // Takes out the entry of line j of slot k, if listed.
  void Erase(int k, std::size_t j);

  std::vector<Entry> bcEntries_;
  std::vector<Entry> adEntries_;
  std::vector<Sjis> keys_;
  // Parallel to keys_ (their keys moved there): the years and origin of
  // each point.
  std::vector<Entry> entries_;
  // Every entry of the slots with loaded = 1, whatever the filter or their
  // on flag, in chronological order; made for the slots' lines at
  // `allRevisions_` (0 for a slot not in it).
  std::vector<Entry> all_;
  std::array<std::uint64_t, EventStore::kSlotCount> allRevisions_{};
  bool allMade_ = false;
  std::shared_ptr<const std::vector<TimelinePoint>> points_ =
      std::make_shared<const std::vector<TimelinePoint>>();
};

}  // namespace qev
