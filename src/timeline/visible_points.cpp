#include "timeline/visible_points.h"

#include <algorithm>

namespace qev {

void VisiblePointList::RebuildVisiblePoints(const std::vector<TimelinePoint>& points, int originX,
                                            int drawAreaWidth) {
  entries_.clear();
  for (std::size_t i = 0; i < points.size(); ++i) {
    const TimelinePoint& p = points[i];
    const int x1 = p.StartX(originX);
    if (x1 < 0 || x1 > drawAreaWidth) continue;
    entries_.push_back({x1, p.hasEnd ? std::optional<int>(p.EndX(originX)) : std::nullopt, i});
  }
  if (!entries_.empty()) {
    firstVisibleIndex_ = entries_.front().pointIndex;
    lastVisibleIndex_ = entries_.back().pointIndex;
    // Counted over the entries, so it names an entry even if the points were
    // ever not a contiguous run of the point list.
    randomBound_ = size() - 1;
  } else {
    firstVisibleIndex_ = 0;
    lastVisibleIndex_ = 0;
  }
  SetSelectedIndex(selectedIndex_);
}

const VisiblePoint* VisiblePointList::Selected() const {
  return entries_.empty() ? nullptr : &entries_[static_cast<std::size_t>(selectedIndex_)];
}

void VisiblePointList::SetSelectedIndex(int index) {
  selectedIndex_ = entries_.empty() ? 0 : std::clamp(index, 0, size() - 1);
}

void VisiblePointList::SelectFirst() {
  SetSelectedIndex(0);
}

void VisiblePointList::SelectLast() {
  SetSelectedIndex(size() - 1);
}

void VisiblePointList::SelectPrevious() {
  SetSelectedIndex(selectedIndex_ - 1);
}

void VisiblePointList::SelectNext() {
  SetSelectedIndex(selectedIndex_ + 1);
}

void VisiblePointList::SelectAtX(int cx, const ScreenLayout& layout) {
  if (entries_.empty()) return;
  // x1 is a drawing-area x; the area starts drawAreaX() pixels into the view.
  // That is 12 at 800 wide but 15 at 1024, where a fixed 12 would put the
  // hit 3 pixels left of the marks; the real offset is used on every width.
  const auto right = std::find_if(entries_.begin(), entries_.end(), [&](const VisiblePoint& e) {
    return e.x1 + layout.drawAreaX() > cx;
  });
  SetSelectedIndex(right == entries_.end() ? size() - 1
                                           : static_cast<int>(right - entries_.begin()));
}

void VisiblePointList::SelectRandom(int randomIndex) {
  SetSelectedIndex(randomIndex);
}

}  // namespace qev
