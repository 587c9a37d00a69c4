#include "timeline/timeline_drawing.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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
    const Rgb grey{16 * b, 16 * b, 16 * b};
    ASSERT_EQ(area.Fills().size(), 1u);
    EXPECT_EQ(area.FillAt(0, 0), grey);
    EXPECT_EQ(area.FillAt(771, 392), grey);
    EXPECT_EQ(area.TopAt(772, 0), nullptr);
    EXPECT_EQ(area.TopAt(0, 393), nullptr);
    // Labels sit on that same grey.
    EXPECT_EQ(area.LastText("0")->background, grey);
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
  const auto expectLine = [&](int x0, int y0, int x1, int y1) {
    const DrawCall* line = area.LineFrom(x0, y0, x1, y1);
    ASSERT_NE(line, nullptr) << x0 << "," << y0 << " " << x1 << "," << y1;
    EXPECT_EQ(line->color, kLine);
  };
  expectLine(350, 3, 350, 389);

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
    const Seg& ad = firstAd[s];
    expectLine(350 + ad.x, ad.y, 350 + ad.x2, ad.y2);
    expectLine(350 - ad.x, ad.y, 350 - ad.x2, ad.y2);
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
  expectLine(350 - cycle, 2, 350 - cycle, 12);
  expectLine(350 - half, 2, 350 - half, 6);
}

TEST_F(TimelineDrawing, WidestRangeDrawsEveryCycleWithMillenniumLabelsOnly) {
  const TimelineScale scale = AtRange(0, -6650);
  Draw(scale);
  EXPECT_EQ(LinesIn(kLine).size(), 1u + 1900 + 190);
  // Read from the top left: "0" over the era line, then the millennia.
  std::vector<std::string> expected = {"0"};
  for (int k = 95; k >= 1; --k) expected.push_back("BC" + std::to_string(k) + "000年");
  for (int k = 1; k <= 95; ++k) expected.push_back("AD" + std::to_string(k) + "000年");
  std::vector<std::string> read;
  for (const DrawCall* t : area.TextsIn()) read.push_back(t->utf8);
  EXPECT_EQ(read, expected);
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
  EXPECT_EQ(LinesIn(kPointMarkColor).size(), 2u);
  const int base = scale.baselineY();
  const int ad300 = 350 + scale.YearToOffset(300);
  for (const DrawCall* mark : {area.LineFrom(273, base - 77 + 3, 273, base - 77 - 3),
                               area.LineFrom(ad300, base + 3, ad300, base - 3)}) {
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(mark->color, kPointMarkColor);
    EXPECT_EQ(mark->penWidth, 2);
  }

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
  // Left 0..11 and right 784..796, from y 12 to 404; probed at their
  // corners and just outside them.
  EXPECT_EQ(view.Fills().size(), 2u);
  struct Pixel {
    int x, y;
    bool strip;
  };
  const Pixel pixels[] = {{0, 12, true},    {11, 404, true},  {12, 12, false},   {0, 11, false},
                          {0, 405, false},  {784, 12, true},  {796, 404, true},  {783, 12, false},
                          {797, 12, false}, {784, 11, false}, {784, 405, false}, {400, 200, false}};
  for (const Pixel& p : pixels) {
    EXPECT_EQ(view.FillAt(p.x, p.y), p.strip ? std::optional(kMarginStripColor) : std::nullopt)
        << p.x << "," << p.y;
  }
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
    ASSERT_EQ(Draw(selected).size(), 2u);
    const int up = base - scale.segmentWidth();
    const DrawCall* start = area.LineFrom(370, base - 20 + 3, 370, base - 20 - 3);
    const DrawCall* end = area.LineFrom(*selected.x2, up + 3, *selected.x2, up - 3);
    ASSERT_NE(start, nullptr);
    ASSERT_NE(end, nullptr);
    EXPECT_EQ(start->color, kSelectedMarkColor);
    EXPECT_EQ(start->penWidth, 2);
    EXPECT_EQ(end->color, kRangeEndMarkColor);
    EXPECT_EQ(end->penWidth, 2);
  }
}

TEST_F(SelectionMarks, YearModeMarksTheStartOnlyAndHiddenMarksNothing) {
  const VisiblePoint selected{370, 500, 0};
  settings.yearDisplayMode = YearDisplayMode::kYear;
  settings.pointDisplayMode = PointDisplayMode::kAll;
  ASSERT_EQ(Draw(selected).size(), 1u);
  EXPECT_EQ(area.TopAt(370, scale.baselineY() - 20)->color, kSelectedMarkColor);

  settings.yearDisplayMode = YearDisplayMode::kRange;
  EXPECT_EQ(Draw(VisiblePoint{370, std::nullopt, 0}).size(), 1u);
  settings.pointDisplayMode = PointDisplayMode::kHidden;
  EXPECT_TRUE(Draw(selected).empty());
}

}  // namespace
}  // namespace qev
