#include "timeline/question_marks.h"

#include <array>

#include "timeline/timeline_drawing.h"

namespace qev {
namespace {

// A colour of their own, seen at a glance on every brightness.
constexpr Rgb kRingColor{255, 96, 32};
constexpr Rgb kLabelColor{255, 224, 64};
constexpr int kRingRadius = 9;

// An octagon round (x, y): the canvas draws lines only.
void DrawRing(Canvas& canvas, int x, int y) {
  constexpr int r = kRingRadius;
  constexpr int d = kRingRadius * 5 / 12;
  const std::array<std::array<int, 2>, 9> corners{
      {{r, d}, {d, r}, {-d, r}, {-r, d}, {-r, -d}, {-d, -r}, {d, -r}, {r, -d}, {r, d}}};
  canvas.MoveTo(x + corners[0][0], y + corners[0][1]);
  for (const auto& [dx, dy] : corners) canvas.LineTo(x + dx, y + dy);
}

int XOf(const TimelineScale& scale, const EraYear& year) {
  const int offset = scale.YearToOffset(year.year);
  return year.bc ? scale.originX() - offset : scale.originX() + offset;
}

}  // namespace

void DrawQuestionMarks(const TimelineScale& scale, const QuestionMarks& marks, int selectedX,
                       Canvas& drawArea) {
  if (!marks.ring && marks.labels.empty()) return;
  drawArea.SetPen(2, kRingColor);
  if (marks.ring) DrawRing(drawArea, selectedX, scale.MarkAt(selectedX).y);
  drawArea.SetFont(kTimelineFace, scale.fontHeight());
  drawArea.SetTextColor(kLabelColor);
  drawArea.SetBackgroundMode(BackgroundMode::kTransparent);
  // Labels one under another, so that close places stay readable.
  int row = 0;
  for (const QuestionMarks::Label& label : marks.labels) {
    const int x = XOf(scale, label.year);
    const LineY line = scale.MarkAt(x);
    DrawRing(drawArea, x, line.y);
    const int y = line.y + kRingRadius + 2 + row * (scale.fontHeight() + 2);
    drawArea.MoveTo(x, line.y + kRingRadius);
    drawArea.LineTo(x, y);
    drawArea.TextOut(x + 2, y, label.text);
    ++row;
  }
}

}  // namespace qev
