#include "export/timeline_sheet.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "events/event_line.h"
#include "text/byte_fields.h"
#include "timeline/timeline_drawing.h"

namespace qev {
namespace {

constexpr int kSegments = 10;
constexpr int kLabelGap = 10;  // between two labels of a row
// Stretches begin and end on whole decades.
constexpr int kStepYears = 10;
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kLineGrey{96, 96, 96};
constexpr Rgb kLeaderGrey{200, 200, 200};
constexpr Rgb kBarColor{176, 136, 0};

Sjis YearText(bool bc, int year, bool about) {
  Sjis text = (bc ? "BC"_sj : "AD"_sj) + Sjis(std::to_string(year)) + "年"_sj;
  if (about) text += "ころ"_sj;
  return text;
}

// `text` cut before the character that would make it wider than `limit`,
// with "…".
Sjis FitText(const Sjis& text, int limit, const TextWidth& width) {
  if (width(text) <= limit) return text;
  const Sjis& ellipsis = "…"_sj;
  std::size_t keep = text.size();
  while (keep > 0) {
    keep = CutOnCharBoundary(text, keep - 1).size();
    Sjis cut(std::string_view(text).substr(0, keep));
    cut += ellipsis;
    if (width(cut) <= limit) return cut;
  }
  return ellipsis;
}

int SignedYear(bool bc, int year) {
  return bc ? -year : year;
}

// Page x offsets of signed years from the era line at a range.
int Pos(const TimelineScale& scale, int year) {
  return year < 0 ? -scale.YearToOffset(-year) : scale.YearToOffset(year);
}

int FloorTo(int year, int step) {
  return (year >= 0 ? year : year - step + 1) / step * step;
}

// One page as it would be at one range.
struct PagePlan {
  SheetPage page;
  std::vector<SheetLabel> labels;
  std::size_t end = 0;  // the first entry after the page, or the first that did not fit
  bool fits = true;
};

// What every plan of a sheet shares.
struct Planner {
  const std::vector<SheetEntry>& entries;
  const TimelineScale& base;
  const SheetMetrics& metrics;
  const SheetLayout& layout;
  std::vector<int> starts;  // signed years
  std::vector<int> ends;
  std::vector<Sjis> texts;
  std::vector<int> widths;
  int rowsPerPage = 1;

  int usable() const { return layout.pageWidth - 2 * metrics.margin; }

  // The page from `from` at `range` with the entries from `first` on that
  // its stretch takes: as many years as a page width holds at the range,
  // or, with `stretchTo`, the years up to it spread across the page. Its
  // labels as far as its rows take them.
  PagePlan Plan(std::size_t first, int from, int range, std::optional<int> stretchTo) const {
    TimelineScale scale = base;
    scale.SetRange(range);
    const int at = Pos(scale, from);
    int to = from + kStepYears;
    if (stretchTo) {
      to = *stretchTo;
    } else {
      while (Pos(scale, to + kStepYears) - at <= usable()) to += kStepYears;
      // The last page ends just past its last point.
      if (starts.back() < to) to = std::min(to, FloorTo(starts.back(), kStepYears) + kStepYears);
    }
    PagePlan plan;
    SheetPage& page = plan.page;
    page.rangeIndex = range;
    page.fromYear = from;
    page.toYear = to;
    page.fromOffset = at;
    page.span = std::max(1, Pos(scale, to) - at);
    page.lineLeft = metrics.margin;
    page.lineRight = metrics.margin + (stretchTo ? usable() : page.span);

    std::vector<int> rowEnds;
    std::size_t i = first;
    for (; i < entries.size() && starts[i] < to; ++i) {
      SheetLabel label;
      label.entry = i;
      label.text = texts[i];
      label.lineOffset = Pos(scale, starts[i]);
      label.markX = SheetX(page, label.lineOffset);
      const int w = widths[i];
      label.rect.left = label.markX + w > layout.pageWidth ? label.markX - w : label.markX;
      label.rect.right = label.rect.left + w;
      label.barEnd = entries[i].hasEnd ? std::clamp(SheetX(page, Pos(scale, ends[i])),
                                                    page.lineLeft, page.lineRight)
                                       : label.markX;
      const int left = std::min(label.rect.left, label.barEnd);
      const int right = std::max(label.rect.right, label.barEnd + 1);
      std::size_t row = 0;
      while (row < rowEnds.size() && rowEnds[row] > left) ++row;
      if (static_cast<int>(row) >= rowsPerPage) {
        plan.fits = false;
        break;
      }
      if (row == rowEnds.size()) rowEnds.push_back(0);
      rowEnds[row] = right + kLabelGap;
      label.rect.top = layout.rowsTop + static_cast<int>(row) * layout.rowHeight;
      label.rect.bottom = label.rect.top + layout.rowHeight;
      plan.labels.push_back(std::move(label));
    }
    plan.end = i;
    return plan;
  }

  // The next page from `from`: at the chosen range where its labels fit,
  // else at the nearest range that fits them; where none does, the
  // longest stretch of decades whose labels fit spread across the page.
  PagePlan Next(std::size_t first, int from) const {
    PagePlan plan;
    for (int range = base.rangeIndex(); range < TimelineScale::kRangeCount; ++range) {
      plan = Plan(first, from, range, std::nullopt);
      if (plan.fits) return plan;
    }
    const int nearest = TimelineScale::kRangeCount - 1;
    const int whole = plan.page.toYear;
    std::optional<PagePlan> longest;
    for (int to = from + kStepYears; to <= whole; to += kStepYears) {
      PagePlan stretched = Plan(first, from, nearest, to);
      if (!stretched.fits) break;
      longest = std::move(stretched);
    }
    if (longest) return *longest;
    // More labels in a decade than the rows take: the next page goes on
    // from the first that did not fit.
    plan = Plan(first, from, nearest, from + kStepYears);
    plan.page.toYear = starts[plan.end];
    return plan;
  }
};

}  // namespace

int SheetX(const SheetPage& page, int lineOffset) {
  const long long width = page.lineRight - page.lineLeft;
  const long long x =
      page.lineLeft + (static_cast<long long>(lineOffset) - page.fromOffset) * width / page.span;
  return static_cast<int>(std::clamp<long long>(x, -(1LL << 30), 1LL << 30));
}

Sjis SheetYearText(int year) {
  return YearText(year < 0, year < 0 ? -year : year, false);
}

std::vector<SheetEntry> SheetEntries(const PointList& points, const EventStore& store) {
  std::vector<SheetEntry> entries;
  entries.reserve(points.size());
  for (const TimelinePoint& p : points.points()) {
    const EventFields event = ParseEvent(
        store.slots[static_cast<std::size_t>(p.slot)].Line(static_cast<std::size_t>(p.line)));
    SheetEntry e;
    e.bc = p.bc;
    e.year = LeadingInt(event.head.substr(std::min<std::size_t>(2, event.head.size())));
    Sjis date = YearText(e.bc, e.year, event.firstApproximate);
    if (p.hasEnd) {
      const std::string_view second = event.secondDate;
      const std::size_t era = second.find_first_of("CD");
      e.hasEnd = true;
      e.endBc = p.endBc;
      e.endYear = era == std::string_view::npos ? 0 : LeadingInt(second.substr(era + 1));
      date += "～"_sj + YearText(e.endBc, e.endYear, event.secondApproximate);
    }
    e.label = date + "　"_sj + Sjis(event.event);
    entries.push_back(std::move(e));
  }
  return entries;
}

SheetLayout LayoutSheet(const std::vector<SheetEntry>& entries, const TimelineScale& scale,
                        const TextWidth& width, const SheetMetrics& metrics) {
  SheetLayout layout;
  layout.pageWidth = metrics.pageWidth;
  layout.pageHeight = metrics.pageHeight;
  layout.textHeight = metrics.textHeight;
  layout.rowHeight = metrics.textHeight + 5;
  // Header, the tick labels, the line, then the rows.
  layout.lineTop = 3 * metrics.textHeight + 12;
  layout.lineHeight = 3 * metrics.textHeight;
  layout.rowsTop = layout.lineTop + layout.lineHeight + 12;
  if (entries.empty()) return layout;

  Planner planner{entries, scale, metrics, layout, {}, {}, {}, {}, 1};
  planner.rowsPerPage =
      std::max(1, (layout.pageHeight - layout.rowsTop - metrics.margin / 2) / layout.rowHeight);
  for (const SheetEntry& e : entries) {
    planner.starts.push_back(SignedYear(e.bc, e.year));
    planner.ends.push_back(e.hasEnd ? SignedYear(e.endBc, e.endYear) : planner.starts.back());
    // On a page a label is at most half as wide, so it fits on one side of
    // its point.
    planner.texts.push_back(FitText(e.label, layout.pageWidth / 2, width));
    planner.widths.push_back(width(planner.texts.back()));
  }

  layout.labels.resize(entries.size());
  std::size_t next = 0;
  int from = FloorTo(planner.starts.front(), kStepYears);
  while (next < entries.size()) {
    from = std::max(from, FloorTo(planner.starts[next], kStepYears));
    PagePlan plan = planner.Next(next, from);
    for (SheetLabel& label : plan.labels) {
      label.page = layout.pages.size();
      layout.labels[label.entry] = std::move(label);
    }
    next = std::max(plan.end, next + 1);
    from = plan.page.toYear;
    layout.pages.push_back(plan.page);
  }
  return layout;
}

namespace {

// Draws the piece of the line between offsets (u0, y0) and (u1, y1) from
// the era line that lies on the page's stretch.
void StretchLine(Canvas& canvas, const SheetPage& page, int u0, int y0, int u1, int y1) {
  if (u1 < u0) {
    std::swap(u0, u1);
    std::swap(y0, y1);
  }
  const int from = page.fromOffset;
  const int to = page.fromOffset + page.span;
  if (u1 < from || u0 > to) return;
  auto yAt = [&](int u) {
    return u1 == u0 ? y0
                    : y0 + static_cast<int>(static_cast<long long>(y1 - y0) * (u - u0) / (u1 - u0));
  };
  const int a = std::max(u0, from);
  const int b = std::min(u1, to);
  canvas.MoveTo(SheetX(page, a), yAt(a));
  canvas.LineTo(SheetX(page, b), yAt(b));
}

}  // namespace

void DrawSheetPage(Canvas& canvas, const SheetLayout& layout, const TimelineScale& scale,
                   std::size_t page) {
  const SheetPage& p = layout.pages[page];
  TimelineScale at = scale;
  at.SetRange(p.rangeIndex);
  // Drawing-area x is the offset from the era line.
  at.SetOriginX(0);
  const int t = layout.textHeight;
  // The line keeps one height on every page, whatever its range.
  const int upper = at.baselineY() - at.segmentWidth();
  auto pageY = [&](int y) {
    return layout.lineTop + (y - upper) * layout.lineHeight / at.segmentWidth();
  };

  canvas.Reset();
  canvas.FillRect(0, 0, layout.pageWidth, layout.pageHeight, kWhite);
  canvas.SetFont(kTimelineFace, t);
  canvas.SetTextColor(kBlack);
  canvas.SetBackgroundColor(kWhite);
  canvas.TextOut(0, 0,
                 "QEVライン　"_sj + SheetYearText(p.fromYear) + "～"_sj + SheetYearText(p.toYear) +
                     "　レンジ="_sj + Sjis(std::to_string(p.rangeIndex)) + "　"_sj +
                     Sjis(std::to_string(page + 1)) + "/"_sj +
                     Sjis(std::to_string(layout.pages.size())));

  // The line over the stretch: the cycles on both sides of the era line
  // that reach it.
  const int cycle = at.cycleWidth();
  canvas.SetPen(2, kLineGrey);
  for (int side : {1, -1}) {
    const int from = side > 0 ? p.fromOffset : -(p.fromOffset + p.span);
    const int to = side > 0 ? p.fromOffset + p.span : -p.fromOffset;
    if (to < 0) continue;
    for (int k = std::max(0, from / cycle); k * cycle <= to; ++k) {
      for (int s = 0; s < kSegments; ++s) {
        StretchLine(canvas, p, side * (k * cycle + at.SegmentStart(s)), pageY(at.SegmentStartY(s)),
                    side * (k * cycle + at.SegmentEnd(s)), pageY(at.SegmentEndY(s)));
      }
    }
  }

  // Ticks every 10 or 100 years as they have room, labelled as often as
  // their labels have room.
  const int tickTop = t + 4;
  const int tickLabelY = tickTop + 10;
  auto width = [&](int years) {
    return static_cast<int>(static_cast<long long>(Pos(at, years)) * (p.lineRight - p.lineLeft) /
                            p.span);
  };
  const int tick = width(10) >= 6 ? 10 : 100;
  int labelled = 10;
  for (int step : {10, 50, 100, 500, 1000, 5000, 10000}) {
    labelled = step;
    if (step >= tick && width(step) >= 9 * t) break;
  }
  for (int year = FloorTo(p.fromYear + tick - 1, tick); year <= p.toYear; year += tick) {
    const int x = SheetX(p, Pos(at, year));
    // The year the stretch ends at is the next page's to label.
    const bool label = year % labelled == 0 && year < p.toYear;
    if (!label && width(tick) < 6) continue;
    canvas.SetPen(year == 0 ? 2 : 1, kLineGrey);
    canvas.MoveTo(x, tickTop);
    canvas.LineTo(x, year == 0 ? layout.rowsTop - 4 : tickTop + (label ? 8 : 4));
    if (label) canvas.TextOut(x + 3, tickLabelY, year == 0 ? "0"_sj : SheetYearText(year));
  }

  auto markY = [&](const SheetLabel& label) { return pageY(at.MarkAt(label.lineOffset).y); };
  // Leaders first, so the labels cover those of the rows they cross.
  canvas.SetPen(1, kLeaderGrey);
  for (const SheetLabel& label : layout.labels) {
    if (label.page != page) continue;
    canvas.MoveTo(label.markX, markY(label) + 4);
    canvas.LineTo(label.markX, label.rect.top);
  }
  canvas.SetPen(2, kBlack);
  for (const SheetLabel& label : layout.labels) {
    if (label.page != page) continue;
    canvas.MoveTo(label.markX, markY(label) + 3);
    canvas.LineTo(label.markX, markY(label) - 3);
  }
  for (const SheetLabel& label : layout.labels) {
    if (label.page != page) continue;
    if (label.barEnd != label.markX) {
      canvas.SetPen(2, kBarColor);
      const int barY = label.rect.top + t + 2;
      canvas.MoveTo(label.markX, barY);
      canvas.LineTo(label.barEnd, barY);
    }
    canvas.TextOut(label.rect.left, label.rect.top, label.text);
  }
}

}  // namespace qev
