#include "export/timeline_sheet.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "events/event_line.h"
#include "text/byte_fields.h"
#include "timeline/timeline_drawing.h"

namespace qev {
namespace {

constexpr int kSegments = 10;
constexpr int kLabelGap = 6;  // between two labels of a row
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

int SignedPos(bool bc, int offset) {
  return bc ? -offset : offset;
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

// Page y of a timeline y: the line's upper level goes to lineTop.
int PageY(const SheetLayout& layout, const TimelineScale& scale, int y) {
  return layout.lineTop + y - (scale.baselineY() - scale.segmentWidth());
}

}  // namespace

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
  layout.rangeIndex = scale.rangeIndex();
  layout.textHeight = metrics.textHeight;
  layout.rowHeight = metrics.textHeight + 5;
  // Header, the tick labels, the line, then the rows.
  layout.lineTop = 3 * metrics.textHeight + 12;
  layout.rowsTop = layout.lineTop + scale.segmentWidth() + 12;

  std::vector<int> starts;
  std::vector<int> ends;
  int lo = 0;
  int hi = 0;
  for (const SheetEntry& e : entries) {
    starts.push_back(SignedPos(e.bc, scale.YearToOffset(e.year)));
    ends.push_back(e.hasEnd ? SignedPos(e.endBc, scale.YearToOffset(e.endYear)) : starts.back());
    lo = std::min({lo, starts.back(), ends.back()});
    hi = std::max({hi, starts.back(), ends.back()});
  }
  layout.eraX = metrics.margin - lo;
  const int lineWidth = layout.eraX + hi + metrics.margin;
  const bool paged = metrics.pageWidth > 0;
  layout.pageWidth = paged ? metrics.pageWidth : lineWidth;
  const int columns = std::max(1, (lineWidth + layout.pageWidth - 1) / layout.pageWidth);
  // On a page a label is at most half as wide, so it fits on one side of
  // its point.
  const int widest = paged ? layout.pageWidth / 2 : lineWidth;

  struct Placed {
    int column = 0;
    int row = 0;
  };
  std::vector<Placed> placed(entries.size());
  std::vector<std::vector<int>> rowEnds(static_cast<std::size_t>(columns));
  layout.labels.resize(entries.size());
  int sheetRight = lineWidth;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const int x = layout.eraX + starts[i];
    layout.pointX.push_back(x);
    const int column = std::min(columns - 1, x / layout.pageWidth);
    const int left = column * layout.pageWidth;
    SheetLabel& label = layout.labels[i];
    label.entry = i;
    label.text = FitText(entries[i].label, widest, width);
    const int w = width(label.text);
    label.markX = x - left;
    const bool leftOfMark = paged && label.markX + w > layout.pageWidth;
    label.rect.left = leftOfMark ? std::max(0, label.markX - w) : label.markX;
    label.rect.right = label.rect.left + w;
    label.barEnd = layout.eraX + ends[i] - left;
    if (paged) label.barEnd = std::clamp(label.barEnd, 0, layout.pageWidth - 1);
    const int from = std::min(label.rect.left, label.barEnd);
    const int to = std::max(label.rect.right, label.barEnd + 1);
    std::vector<int>& rows = rowEnds[static_cast<std::size_t>(column)];
    std::size_t row = 0;
    while (row < rows.size() && rows[row] > from) ++row;
    if (row == rows.size()) rows.push_back(0);
    rows[row] = to + kLabelGap;
    placed[i] = {column, static_cast<int>(row)};
    sheetRight = std::max(sheetRight, left + to + metrics.margin);
  }
  if (!paged) layout.pageWidth = sheetRight;

  std::size_t mostRows = 1;
  for (const std::vector<int>& rows : rowEnds) mostRows = std::max(mostRows, rows.size());
  layout.pageHeight =
      metrics.pageHeight > 0
          ? metrics.pageHeight
          : layout.rowsTop + static_cast<int>(mostRows) * layout.rowHeight + metrics.margin;
  const int rowsPerPage = std::max(1, (layout.pageHeight - layout.rowsTop) / layout.rowHeight);

  std::vector<std::size_t> firstPage(static_cast<std::size_t>(columns));
  for (int c = 0; c < columns; ++c) {
    firstPage[static_cast<std::size_t>(c)] = layout.pages.size();
    const int rows = static_cast<int>(rowEnds[static_cast<std::size_t>(c)].size());
    const int parts = std::max(1, (rows + rowsPerPage - 1) / rowsPerPage);
    for (int part = 0; part < parts; ++part) {
      layout.pages.push_back({c * layout.pageWidth, c, part});
    }
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    SheetLabel& label = layout.labels[i];
    label.page = firstPage[static_cast<std::size_t>(placed[i].column)] +
                 static_cast<std::size_t>(placed[i].row / rowsPerPage);
    label.rect.top = layout.rowsTop + (placed[i].row % rowsPerPage) * layout.rowHeight;
    label.rect.bottom = label.rect.top + layout.rowHeight;
  }
  return layout;
}

void DrawSheetPage(Canvas& canvas, const SheetLayout& layout, const TimelineScale& scale,
                   std::size_t page) {
  const SheetPage& p = layout.pages[page];
  const int t = layout.textHeight;
  canvas.Reset();
  canvas.FillRect(0, 0, layout.pageWidth, layout.pageHeight, kWhite);
  canvas.SetFont(kTimelineFace, t);
  canvas.SetTextColor(kBlack);
  canvas.SetBackgroundColor(kWhite);
  canvas.TextOut(0, 0,
                 "QEVライン　レンジ="_sj + Sjis(std::to_string(layout.rangeIndex)) + "　"_sj +
                     Sjis(std::to_string(page + 1)) + "/"_sj +
                     Sjis(std::to_string(layout.pages.size())));

  // The line: every cycle on both sides of the era line that reaches the
  // page, with its millennium and half-millennium ticks and labels.
  const int era = layout.eraX - p.left;
  const int cycle = scale.cycleWidth();
  const int tickTop = t + 4;
  const int tickLabelY = tickTop + 10;
  canvas.SetPen(2, kLineGrey);
  canvas.MoveTo(era, tickTop);
  canvas.LineTo(era, layout.rowsTop - 4);
  canvas.TextOut(era + 3, tickLabelY, "0"_sj);
  const int half = scale.SegmentStart(5);
  for (int k = 0; era - k * cycle > 0 || era + k * cycle < layout.pageWidth; ++k) {
    for (int side : {1, -1}) {
      const int x0 = era + side * k * cycle;
      const int far = x0 + side * cycle;
      if (std::max(x0, far) < 0 || std::min(x0, far) > layout.pageWidth) continue;
      for (int s = 0; s < kSegments; ++s) {
        canvas.MoveTo(x0 + side * scale.SegmentStart(s),
                      PageY(layout, scale, scale.SegmentStartY(s)));
        canvas.LineTo(x0 + side * scale.SegmentEnd(s), PageY(layout, scale, scale.SegmentEndY(s)));
      }
      const bool bc = side < 0;
      canvas.MoveTo(far, tickTop);
      canvas.LineTo(far, tickTop + 8);
      canvas.TextOut(far + 3, tickLabelY, YearText(bc, (k + 1) * 1000, false));
      if (scale.halfTicks()) {
        const int halfTick = x0 + side * half;
        canvas.MoveTo(halfTick, tickTop);
        canvas.LineTo(halfTick, tickTop + 4);
        canvas.TextOut(halfTick + 3, tickLabelY, YearText(bc, k * 1000 + 500, false));
      }
    }
  }

  TimelineScale at = scale;
  at.SetOriginX(era);
  auto markY = [&](int x) { return at.MarkAt(x); };
  for (int x : layout.pointX) {
    const int local = x - p.left;
    if (local < 0 || local >= layout.pageWidth) continue;
    const LineY y = markY(local);
    canvas.SetPen(2, kBlack);
    canvas.MoveTo(local, PageY(layout, scale, y.yLow));
    canvas.LineTo(local, PageY(layout, scale, y.yHigh));
  }

  // Leaders first, so the labels cover those of the rows they cross.
  canvas.SetPen(1, kLeaderGrey);
  for (const SheetLabel& label : layout.labels) {
    if (label.page != page) continue;
    canvas.MoveTo(label.markX, PageY(layout, scale, markY(label.markX).yLow));
    canvas.LineTo(label.markX, label.rect.top);
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
