#include "timeline/timeline_drawing.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/recording_canvas.h"

namespace qev {
namespace {

using testing::DrawCall;
using testing::RecordingCanvas;

constexpr Rgb kLine{120, 120, 120};

class TimelineDrawing : public ::testing::Test {
 protected:
  TimelineScale AtRange(int range, int originX, ScreenLayout layout = {800, 600}) {
    TimelineScale scale(layout);
    scale.SetRange(range);
    scale.SetOriginX(originX);
    return scale;
  }
  void Draw(const TimelineScale& scale, const std::vector<TimelinePoint>& points = {}) {
    area.Clear();
    view.Clear();
    DrawTimeline(scale, settings, points, area, view);
  }
  std::vector<const DrawCall*> LinesIn(Rgb color) const {
    std::vector<const DrawCall*> out;
    for (const DrawCall* c : area.Lines()) {
      if (c->color == color) out.push_back(c);
    }
    return out;
  }

  DisplaySettings settings;
  RecordingCanvas area;
  RecordingCanvas view;
};

TEST_F(TimelineDrawing, BackgroundGreyFollowsTheBrightness) {
  const TimelineScale scale = AtRange(7, 350);
  for (int b = 1; b <= 5; ++b) {
    settings.brightness = b;
    Draw(scale);
    ASSERT_EQ(area.Fills().size(), 1u);
    const DrawCall& fill = *area.Fills()[0];
    EXPECT_EQ(fill.color, (Rgb{16 * b, 16 * b, 16 * b}));
    EXPECT_EQ(fill.x2, 772);
    EXPECT_EQ(fill.y2, 393);
    // Labels sit on that same grey.
    EXPECT_EQ(area.LastText("0")->background, fill.color);
    EXPECT_EQ(area.LastText("0")->mode, BackgroundMode::kOpaque);
  }
  for (const int b : {0, 6}) {
    settings.brightness = b;
    Draw(scale);
    EXPECT_TRUE(area.Fills().empty());
    EXPECT_EQ(area.LastText("0")->mode, BackgroundMode::kTransparent);
  }
}

TEST_F(TimelineDrawing, EraLineZigzagAndLabels) {
  const TimelineScale scale = AtRange(7, 350);
  Draw(scale);
  const int base = scale.baselineY();
  const int up = base - scale.segmentWidth();
  const int seg = scale.segmentWidth();
  const int flat = scale.flatWidth();
  const int cycle = scale.cycleWidth();

  const std::vector<const DrawCall*> lines = LinesIn(kLine);
  for (const DrawCall* c : lines) EXPECT_EQ(c->penWidth, 2);
  // Era line, 15 cycles of ten segments on each side, a millennium and a
  // half tick on each side per cycle.
  ASSERT_EQ(lines.size(), 1u + 15 * (20 + 4));
  EXPECT_EQ(lines[0]->x, 350);
  EXPECT_EQ(lines[0]->y, 3);
  EXPECT_EQ(lines[0]->y2, 389);

  struct Seg {
    int x, y, x2, y2;
  };
  const Seg firstAd[] = {
      {0, base, seg, up},
      {seg, up, seg + flat, up},
      {seg + flat, up, 2 * seg + flat, base},
      {2 * seg + flat, base, 2 * seg + 2 * flat, base},
      {2 * seg + 2 * flat, base, 3 * seg + 2 * flat, up},
      {3 * seg + 2 * flat, up, 3 * seg + 3 * flat, up},
      {3 * seg + 3 * flat, up, 4 * seg + 3 * flat, base},
      {4 * seg + 3 * flat, base, 4 * seg + 4 * flat, base},
      {4 * seg + 4 * flat, base, 5 * seg + 4 * flat, up},
      {5 * seg + 4 * flat, up, cycle - flat / 100, up},
  };
  for (int s = 0; s < 10; ++s) {
    SCOPED_TRACE(s);
    const DrawCall& ad = *lines[1 + s];
    EXPECT_EQ(ad.x, 350 + firstAd[s].x);
    EXPECT_EQ(ad.y, firstAd[s].y);
    EXPECT_EQ(ad.x2, 350 + firstAd[s].x2);
    EXPECT_EQ(ad.y2, firstAd[s].y2);
    const DrawCall& bc = *lines[11 + s];
    EXPECT_EQ(bc.x, 350 - firstAd[s].x);
    EXPECT_EQ(bc.x2, 350 - firstAd[s].x2);
    EXPECT_EQ(bc.y2, firstAd[s].y2);
  }

  const DrawCall* zero = area.LastText("0");
  ASSERT_NE(zero, nullptr);
  EXPECT_EQ(zero->x, 348);
  EXPECT_EQ(zero->y, 2);
  EXPECT_EQ(zero->color, kLine);
  EXPECT_EQ(zero->face, "MS P明朝");
  EXPECT_EQ(zero->fontHeight, 12);

  const DrawCall* ad1000 = area.LastText("AD1000年");
  ASSERT_NE(ad1000, nullptr);
  EXPECT_EQ(ad1000->x, 350 + cycle - 30);
  EXPECT_EQ(ad1000->y, 15);
  EXPECT_EQ(area.LastText("BC1000年")->x, 350 - cycle - 30);
  const int half = 3 * seg + 2 * flat;
  EXPECT_EQ(area.LastText("BC500年")->x, 350 - half - 30);
  EXPECT_EQ(area.LastText("BC500年")->y, 10);
  EXPECT_EQ(area.LastText("AD14500年")->x, 350 + 14 * cycle + half - 30);
  EXPECT_EQ(area.LastText("AD15000年")->x, 350 + 15 * cycle - 30);
  EXPECT_EQ(area.LastText("AD15500年"), nullptr);

  // Ticks: millennium 2..12, half 2..6.
  EXPECT_EQ(lines[21]->x, 350 - cycle);
  EXPECT_EQ(lines[21]->y, 2);
  EXPECT_EQ(lines[21]->y2, 12);
  EXPECT_EQ(lines[23]->x, 350 - half);
  EXPECT_EQ(lines[23]->y2, 6);
}

TEST_F(TimelineDrawing, WidestRangeDrawsEveryCycleWithMillenniumLabelsOnly) {
  const TimelineScale scale = AtRange(0, -6650);
  Draw(scale);
  EXPECT_EQ(LinesIn(kLine).size(), 1u + 1900 + 190);
  const std::vector<const DrawCall*> texts = area.Texts();
  ASSERT_EQ(texts.size(), 1u + 190);
  EXPECT_EQ(texts[1]->utf8, "BC1000年");
  EXPECT_EQ(texts[2]->utf8, "AD1000年");
  EXPECT_EQ(texts.back()->utf8, "AD95000年");
  for (const DrawCall* t : texts) EXPECT_EQ(t->utf8.find("500年"), std::string::npos);
}

TEST_F(TimelineDrawing, LargeScreenFont) {
  Draw(AtRange(7, 350, {1024, 768}));
  EXPECT_EQ(area.LastText("0")->fontHeight, 14);
}

TEST_F(TimelineDrawing, PointMarksOnlyInShowAllMode) {
  const TimelineScale scale = AtRange(9, 350);
  const std::vector<TimelinePoint> points = {
      {.bc = true, .offset1 = scale.YearToOffset(100)},
      {.bc = false, .offset1 = scale.YearToOffset(300), .hasEnd = true, .offset2 = 2000},
      {.bc = false, .offset1 = 5000},  // outside the area: clipped away, so not drawn
  };
  settings.pointDisplayMode = PointDisplayMode::kAll;
  Draw(scale, points);
  const std::vector<const DrawCall*> marks = LinesIn(kPointMarkColor);
  ASSERT_EQ(marks.size(), 2u);
  const int base = scale.baselineY();
  EXPECT_EQ(marks[0]->x, 350 - 77);
  EXPECT_EQ(marks[0]->x2, 350 - 77);
  EXPECT_EQ(marks[0]->y, base - 77 + 3);
  EXPECT_EQ(marks[0]->y2, base - 77 - 3);
  EXPECT_EQ(marks[0]->penWidth, 2);
  EXPECT_EQ(marks[1]->x, 350 + scale.YearToOffset(300));
  EXPECT_EQ(marks[1]->y, base + 3);

  for (const PointDisplayMode mode : {PointDisplayMode::kHidden, PointDisplayMode::kSelectedOnly}) {
    settings.pointDisplayMode = mode;
    Draw(scale, points);
    EXPECT_TRUE(LinesIn(kPointMarkColor).empty());
  }
}

TEST_F(TimelineDrawing, MarksAreDrawnWhereTheyReachTheArea) {
  // A 2-pixel mark at x covers the columns x-1 and x.
  const TimelineScale scale = AtRange(9, 0);
  const int width = scale.drawAreaWidth();
  settings.pointDisplayMode = PointDisplayMode::kAll;
  for (const auto& [x, drawn] : std::vector<std::pair<int, bool>>{
           {-1, false}, {0, true}, {width, true}, {width + 1, false}}) {
    Draw(scale, {{.bc = x < 0, .offset1 = x < 0 ? -x : x}});
    EXPECT_EQ(LinesIn(kPointMarkColor).size(), drawn ? 1u : 0u) << x;
  }
}

TEST_F(TimelineDrawing, MarginStripsOnTheView) {
  Draw(AtRange(7, 350));
  const std::vector<const DrawCall*> fills = view.Fills();
  ASSERT_EQ(fills.size(), 2u);
  EXPECT_EQ(fills[0]->color, kMarginStripColor);
  EXPECT_EQ((std::vector<int>{fills[0]->x, fills[0]->y, fills[0]->x2, fills[0]->y2}),
            (std::vector<int>{0, 12, 12, 405}));
  EXPECT_EQ((std::vector<int>{fills[1]->x, fills[1]->y, fills[1]->x2, fills[1]->y2}),
            (std::vector<int>{784, 12, 797, 405}));
}

TEST_F(TimelineDrawing, WideScreenZigzagKeepsInsideTheArea) {
  for (const int origin : {-1488, 0, 926, 1852}) {
    const TimelineScale scale = AtRange(20, origin, {1920, 1080});
    Draw(scale);
    for (const DrawCall* c : area.Lines()) {
      ASSERT_GE(std::min(c->y, c->y2), 0);
      ASSERT_LE(std::max(c->y, c->y2), scale.drawAreaHeight());
    }
  }
}

class SelectionMarks : public ::testing::Test {
 protected:
  SelectionMarks() : scale({800, 600}) {
    scale.SetRange(9);
    scale.SetOriginX(350);
  }
  std::vector<const DrawCall*> Draw(const VisiblePoint& selected) {
    area.Clear();
    DrawSelectionMarks(scale, settings, selected, area);
    return area.Lines();
  }

  TimelineScale scale;
  DisplaySettings settings;
  RecordingCanvas area;
};

TEST_F(SelectionMarks, StartAndRangeEndInRangeMode) {
  const int base = scale.baselineY();
  // Start on the first slant 20 px up; end beyond the right edge on the flat
  // upper piece of the first cycle after the era line.
  const VisiblePoint selected{370, 350 + scale.SegmentStart(5) + 5, 0};
  ASSERT_GT(*selected.x2, scale.drawAreaWidth());
  settings.yearDisplayMode = YearDisplayMode::kRange;
  for (const PointDisplayMode mode : {PointDisplayMode::kAll, PointDisplayMode::kSelectedOnly}) {
    settings.pointDisplayMode = mode;
    const std::vector<const DrawCall*> lines = Draw(selected);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]->color, kSelectedMarkColor);
    EXPECT_EQ(lines[0]->penWidth, 2);
    EXPECT_EQ(lines[0]->x, 370);
    EXPECT_EQ(lines[0]->x2, 370);
    EXPECT_EQ(lines[0]->y, base - 20 + 3);
    EXPECT_EQ(lines[0]->y2, base - 20 - 3);
    EXPECT_EQ(lines[1]->color, kRangeEndMarkColor);
    EXPECT_EQ(lines[1]->penWidth, 2);
    EXPECT_EQ(lines[1]->x, *selected.x2);
    EXPECT_EQ(lines[1]->y, base - scale.segmentWidth() + 3);
  }
}

TEST_F(SelectionMarks, YearModeMarksTheStartOnlyAndHiddenMarksNothing) {
  const VisiblePoint selected{370, 500, 0};
  settings.yearDisplayMode = YearDisplayMode::kYear;
  settings.pointDisplayMode = PointDisplayMode::kAll;
  const std::vector<const DrawCall*> lines = Draw(selected);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->color, kSelectedMarkColor);

  settings.yearDisplayMode = YearDisplayMode::kRange;
  EXPECT_EQ(Draw(VisiblePoint{370, std::nullopt, 0}).size(), 1u);
  settings.pointDisplayMode = PointDisplayMode::kHidden;
  EXPECT_TRUE(Draw(selected).empty());
}

}  // namespace
}  // namespace qev
