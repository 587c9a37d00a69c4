#include "timeline/timeline_drawing.h"

#include <algorithm>
#include <array>
#include <string>

namespace qev {

namespace {

constexpr int kSegments = 10;

// "BC%d年" / "AD%d年" for every multiple of 500 years the widest range labels
// (95 cycles), composed once instead of on every redraw.
const Sjis& YearLabel(bool bc, int years) {
  static const std::array<std::vector<Sjis>, 2> labels = [] {
    std::array<std::vector<Sjis>, 2> table;
    for (int era = 0; era < 2; ++era) {
      const Sjis& prefix = era == 0 ? "AD"_sj : "BC"_sj;
      for (int n = 0; n <= 95 * 1000; n += 500) {
        table[era].push_back(prefix + Sjis(std::to_string(n)) + "年"_sj);
      }
    }
    return table;
  }();
  return labels[bc ? 1 : 0][static_cast<std::size_t>(years / 500)];
}

LineSegment Mark(int x, const LineY& line) {
  return {x, line.yLow, x, line.yHigh};
}

// Draws the 2-pixel mark at x, which covers the columns x-1 and x from yHigh
// down to yLow, and returns those pixels.
PixelRect DrawMark(Canvas& canvas, int x, const LineY& line) {
  canvas.MoveTo(x, line.yLow);
  canvas.LineTo(x, line.yHigh);
  return {x - 1, line.yHigh, x + 1, line.yLow + 1};
}

}  // namespace

std::optional<Rgb> BackgroundGrey(int brightness) {
  if (brightness < 1 || brightness > 5) return std::nullopt;
  const int grey = 16 * brightness;
  return Rgb{grey, grey, grey};
}

void DrawTimeline(const TimelineScale& scale, const DisplaySettings& settings,
                  const std::vector<TimelinePoint>& points, Canvas& drawArea, Canvas& view) {
  const int areaHeight = scale.drawAreaHeight();
  const std::optional<Rgb> background = BackgroundGrey(settings.brightness);

  drawArea.Reset();
  if (background) drawArea.FillRect(0, 0, scale.drawAreaWidth(), areaHeight, *background);
  drawArea.SetPen(2, kTimelineLineColor);
  drawArea.SetFont(kTimelineFace, scale.fontHeight());

  const int originX = scale.originX();
  drawArea.MoveTo(originX, areaHeight * 10 / 1000);
  drawArea.LineTo(originX, areaHeight * 990 / 1000);

  std::array<LineSegment, kSegments> cycle;
  for (int s = 0; s < kSegments; ++s) {
    cycle[static_cast<std::size_t>(s)] = {scale.SegmentStart(s), scale.SegmentStartY(s),
                                          scale.SegmentEnd(s), scale.SegmentEndY(s)};
  }

  drawArea.SetTextColor(kTimelineLineColor);
  // Labels sit on the background grey; with no background painted they are
  // drawn without one rather than on the canvas's default white.
  if (background) {
    drawArea.SetBackgroundColor(*background);
  } else {
    drawArea.SetBackgroundMode(BackgroundMode::kTransparent);
  }

  const int cycleWidth = scale.cycleWidth();
  const int halfOffset = scale.SegmentStart(5);
  std::array<LineSegment, 2 * kSegments> sides;
  for (int k = 0; k < scale.cycleCount(); ++k) {
    const int start = k * cycleWidth;
    for (std::size_t s = 0; s < cycle.size(); ++s) {
      const LineSegment& seg = cycle[s];
      sides[s] = {originX + start + seg.x0, seg.y0, originX + start + seg.x1, seg.y1};
      sides[kSegments + s] = {originX - start - seg.x0, seg.y0, originX - start - seg.x1, seg.y1};
    }
    drawArea.DrawSegments(sides);
    // Later cycles would only repeat the "0" on the same pixels.
    if (k == 0) drawArea.TextOut(originX - 2, 2, "0"_sj);

    const int millennium = (k + 1) * 1000;
    for (const bool bc : {true, false}) {
      const int x = bc ? originX - start - cycleWidth : originX + start + cycleWidth;
      drawArea.MoveTo(x, 2);
      drawArea.LineTo(x, 12);
      drawArea.TextOut(x - 30, 15, YearLabel(bc, millennium));
    }
    if (scale.halfTicks()) {
      for (const bool bc : {true, false}) {
        const int x = bc ? originX - (start + halfOffset) : originX + (start + halfOffset);
        drawArea.MoveTo(x, 2);
        drawArea.LineTo(x, 6);
        drawArea.TextOut(x - 30, 10, YearLabel(bc, millennium - 500));
      }
    }
  }

  if (settings.pointDisplayMode == PointDisplayMode::kAll) DrawAllPoints(scale, points, drawArea);
  drawArea.KeepPicture();

  const ScreenLayout& layout = scale.layout();
  view.Reset();
  view.FillRect(0, layout.Y(20), layout.X(15), layout.Y(675), kMarginStripColor);
  view.FillRect(layout.X(980), layout.Y(20), layout.X(997), layout.Y(675), kMarginStripColor);
}

void DrawAllPoints(const TimelineScale& scale, const std::vector<TimelinePoint>& points,
                   Canvas& drawArea) {
  drawArea.SetPen(2, kPointMarkColor);
  const int originX = scale.originX();
  // The 2-pixel mark at x covers the columns x-1 and x: only marks with
  // 0 <= x <= width reach the area. The rest would all be clipped away.
  const int width = scale.drawAreaWidth();
  // Many points share a column: the line's height is found once for each.
  std::vector<std::optional<LineY>> lineAt(static_cast<std::size_t>(std::max(width + 1, 0)));
  std::vector<LineSegment> marks;
  marks.reserve(points.size());
  for (const TimelinePoint& p : points) {
    const int x = p.StartX(originX);
    if (x < 0 || x > width) continue;
    std::optional<LineY>& line = lineAt[static_cast<std::size_t>(x)];
    if (!line) line = scale.MarkAt(x);
    marks.push_back(Mark(x, *line));
  }
  drawArea.DrawSegments(marks);
}

std::vector<PixelRect> DrawSelectionMarks(const TimelineScale& scale,
                                          const DisplaySettings& settings,
                                          const VisiblePoint& selected, Canvas& drawArea) {
  std::vector<PixelRect> drawn;
  if (settings.pointDisplayMode == PointDisplayMode::kHidden) return drawn;
  drawArea.SetPen(2, kSelectedMarkColor);
  drawn.push_back(DrawMark(drawArea, selected.x1, scale.MarkAt(selected.x1)));
  if (YearsShown(settings).rangeEndMark && selected.x2) {
    drawArea.SetPen(2, kRangeEndMarkColor);
    drawn.push_back(DrawMark(drawArea, *selected.x2, scale.MarkAt(*selected.x2)));
  }
  return drawn;
}

}  // namespace qev
