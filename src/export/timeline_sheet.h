#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "events/event_store.h"
#include "events/point_list.h"
#include "platform/canvas.h"
#include "text/cp932.h"
#include "timeline/timeline_scale.h"

// The whole timeline as a printable sheet: every point of the point list
// across the whole span, the line at one range, and beside each point its
// date and event text, laid out in stacked rows so that no two labels
// overlap, cut into pages. Sheet units are the timeline's pixels.
namespace qev {

// One point of the sheet: where it lies and what its label says.
struct SheetEntry {
  bool bc = false;
  int year = 0;
  bool hasEnd = false;
  bool endBc = false;
  int endYear = 0;
  Sjis label;  // "AD1543年　できごと", "BC3000年ころ　…", "AD1789年～AD1799年　…"
};

// The points to print and the range to print them at.
struct SheetSource {
  std::vector<SheetEntry> entries;
  int rangeIndex = TimelineScale::kStartRange;
};

// The entries of every point of `points`, in its order, read from the
// lines of `store` they come from.
std::vector<SheetEntry> SheetEntries(const PointList& points, const EventStore& store);

struct SheetMetrics {
  int pageWidth = 0;   // 0: one page as wide as the sheet needs
  int pageHeight = 0;  // 0: one page as tall as its rows need
  int textHeight = 11;
  int margin = 24;  // before the first and after the last point
};

struct SheetRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool Overlaps(const SheetRect& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
};

// A label on its page, in page coordinates. The rectangle holds the text
// and, for a range, its bar.
struct SheetLabel {
  std::size_t entry = 0;
  std::size_t page = 0;
  SheetRect rect;
  int markX = 0;   // the point's x; the label starts or ends there
  int barEnd = 0;  // end of the range bar; markX when the point has no range
  Sjis text;       // the label as printed: cut with "…" when wider than half a page
};

struct SheetPage {
  int left = 0;    // sheet x of the page's left edge
  int column = 0;  // pages side by side along the line
  int part = 0;    // further pages of one column, for rows that do not fit
};

struct SheetLayout {
  int rangeIndex = 0;
  int pageWidth = 0;
  int pageHeight = 0;
  int textHeight = 0;
  int eraX = 0;     // sheet x of the era line
  int lineTop = 0;  // page y of the upper level of the line
  int rowsTop = 0;  // page y of the first label row
  int rowHeight = 0;
  std::vector<int> pointX;  // sheet x of every entry
  std::vector<SheetPage> pages;
  std::vector<SheetLabel> labels;  // one per entry, in entry order
};

// The width of a text in sheet units, as it will be printed.
using TextWidth = std::function<int(const Sjis&)>;

// Lays `entries` out along the line of `scale`'s range.
SheetLayout LayoutSheet(const std::vector<SheetEntry>& entries, const TimelineScale& scale,
                        const TextWidth& width, const SheetMetrics& metrics);

// Draws page `page` of `layout` (white, black text) with its top-left at
// the canvas origin.
void DrawSheetPage(Canvas& canvas, const SheetLayout& layout, const TimelineScale& scale,
                   std::size_t page);

}  // namespace qev
