#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "events/event_store.h"
#include "events/point_list.h"
#include "platform/canvas.h"
#include "text/cp932.h"
#include "timeline/timeline_scale.h"

// The whole timeline as a printable sheet: pages one after another along
// the line, each a stretch of years of its own with the line, its points
// and beside each point its date and event text, in rows that never
// overlap. A page is drawn at the chosen range, or nearer where its
// stretch holds more labels than its rows take. Sheet units are pixels of
// the printed page.
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
  int pageWidth = 1091;  // A4 landscape at 100 dpi within 10 mm margins
  int pageHeight = 748;
  int textHeight = 11;
  int margin = 24;  // left and right of the line
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
  int lineOffset = 0;  // the point's offset from the era line at its page's range
  int markX = 0;       // the point's page x; the text starts or ends there
  int barEnd = 0;      // end of the range bar; markX when the point has no range
  Sjis text;           // the label as printed: cut with "…" when wider than half a page
};

// A page's stretch of years, BC negative: from `fromYear` up to, not
// including, `toYear` (the year where the next page begins), drawn at its
// range from lineLeft to lineRight: `span` pixels of the line at that
// range, spread wider where a crowded stretch needs it.
struct SheetPage {
  int rangeIndex = 0;
  int fromYear = 0;
  int toYear = 0;
  int fromOffset = 0;  // offset of fromYear from the era line at the range
  int span = 1;        // offset of toYear less fromOffset
  int lineLeft = 0;    // page x of fromYear
  int lineRight = 0;   // page x of toYear
};

struct SheetLayout {
  int pageWidth = 0;
  int pageHeight = 0;
  int textHeight = 0;
  int lineTop = 0;  // page y of the upper level of the line
  int lineHeight = 0;
  int rowsTop = 0;  // page y of the first label row
  int rowHeight = 0;
  std::vector<SheetPage> pages;
  std::vector<SheetLabel> labels;  // one per entry, in entry order
};

// The width of a text in sheet units, as it will be printed.
using TextWidth = std::function<int(const Sjis&)>;

// The page x of an offset from the era line at the page's range.
int SheetX(const SheetPage& page, int lineOffset);

// A year, BC negative, as the sheet writes it: "AD1500年", "BC3000年".
Sjis SheetYearText(int year);

// Lays `entries` (in timeline order) out on pages, at `scale`'s range or
// nearer.
SheetLayout LayoutSheet(const std::vector<SheetEntry>& entries, const TimelineScale& scale,
                        const TextWidth& width, const SheetMetrics& metrics);

// Draws page `page` of `layout` (white, black text) with its top-left at
// the canvas origin; `scale` gives the screen the ranges are of.
void DrawSheetPage(Canvas& canvas, const SheetLayout& layout, const TimelineScale& scale,
                   std::size_t page);

}  // namespace qev
