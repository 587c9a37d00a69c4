#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "events/timeline_point.h"
#include "platform/screen_layout.h"

namespace qev {

// A point whose start lies inside the drawing area.
struct VisiblePoint {
  int x1 = 0;                  // drawing-area x of the start
  std::optional<int> x2;       // x of the range end, wherever it lies
  std::size_t pointIndex = 0;  // index in the point list
};

// The visible points in point-list order, and which of them is selected.
// `selectedIndex` always names an entry while there is one (0 when empty);
// the selection operations do nothing on an empty list.
class VisiblePointList {
 public:
  // Collects the points whose start x (for the era line at originX) lies in
  // 0..drawAreaWidth, both ends included. The selection is kept as far as
  // the new list reaches; callers that start over call SelectFirst.
  void RebuildVisiblePoints(const std::vector<TimelinePoint>& points, int originX,
                            int drawAreaWidth);

  const std::vector<VisiblePoint>& entries() const { return entries_; }
  bool empty() const { return entries_.empty(); }
  int size() const { return static_cast<int>(entries_.size()); }

  // Point-list indices of the first and the last visible point (0 when none).
  std::size_t firstVisibleIndex() const { return firstVisibleIndex_; }
  std::size_t lastVisibleIndex() const { return lastVisibleIndex_; }
  // Upper end of the random index: visible points minus 1, 10 before the
  // first rebuild that finds a point; an empty rebuild leaves it as it was.
  int randomBound() const { return randomBound_; }

  int selectedIndex() const { return selectedIndex_; }
  // The selected entry, or nothing when the list is empty.
  const VisiblePoint* Selected() const;

  // Selects entry `index`, taken into the list's span (as when a stored
  // selection outlives the points it named).
  void SetSelectedIndex(int index);
  void SelectFirst();
  void SelectLast();
  // One step left or right, staying on the first or last entry.
  void SelectPrevious();
  void SelectNext();
  // A click above the drawing area at view x `cx`: the first point lying
  // strictly right of the click, else the last one.
  void SelectAtX(int cx, const ScreenLayout& layout);
  void SelectRandom(int randomIndex);

 private:
  std::vector<VisiblePoint> entries_;
  std::size_t firstVisibleIndex_ = 0;
  std::size_t lastVisibleIndex_ = 0;
  int randomBound_ = 10;
  int selectedIndex_ = 0;
};

}  // namespace qev
