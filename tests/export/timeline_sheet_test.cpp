#include "export/timeline_sheet.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/recording_canvas.h"

namespace qev {
namespace {

// Generated events: every `step` years from BC `from` to AD `to`, every
// third one a range, long and short labels mixed.
std::vector<SheetEntry> Generated(int from, int to, int step) {
  std::vector<SheetEntry> entries;
  for (int year = -from; year <= to; year += step) {
    SheetEntry e;
    e.bc = year < 0;
    e.year = year < 0 ? -year : year;
    e.hasEnd = entries.size() % 3 == 0;
    e.endBc = e.bc && e.year > 40;
    e.endYear = e.endBc ? e.year - 40 : e.year + 40;
    e.label = Sjis("E" + std::to_string(entries.size()) + std::string(entries.size() % 7 * 9, 'x'));
    entries.push_back(std::move(e));
  }
  return entries;
}

int Width(const Sjis& text) {
  return static_cast<int>(text.size()) * 6;
}

// On every page no two labels overlap, each lies inside its page, and every
// entry has its label, whether printed on pages or as one picture.
TEST(TimelineSheetTest, LabelsNeverOverlapAndAllArePrinted) {
  struct Row {
    int range;
    int from, to, step;
    SheetMetrics metrics;
  };
  const Row rows[] = {
      {7, 3000, 2000, 10, {1090, 740, 11, 24}}, {0, 5000, 2000, 3, {1090, 740, 11, 24}},
      {20, 100, 100, 1, {1090, 740, 11, 24}},   {7, 3000, 2000, 10, {0, 0, 12, 24}},
      {13, 0, 0, 1, {1090, 740, 11, 24}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.range);
    TimelineScale scale({800, 600});
    scale.SetRange(r.range);
    const std::vector<SheetEntry> entries = Generated(r.from, r.to, r.step);
    const SheetLayout layout = LayoutSheet(entries, scale, Width, r.metrics);
    ASSERT_EQ(layout.labels.size(), entries.size());
    for (std::size_t i = 0; i < layout.labels.size(); ++i) {
      const SheetLabel& a = layout.labels[i];
      EXPECT_EQ(a.entry, i);
      ASSERT_LT(a.page, layout.pages.size());
      EXPECT_GE(a.rect.left, 0);
      EXPECT_LE(a.rect.right, layout.pageWidth);
      EXPECT_GE(a.rect.top, layout.rowsTop);
      EXPECT_LE(a.rect.bottom, layout.pageHeight);
      for (std::size_t j = i + 1; j < layout.labels.size(); ++j) {
        const SheetLabel& b = layout.labels[j];
        if (a.page == b.page && a.rect.Overlaps(b.rect)) {
          ADD_FAILURE() << "labels " << i << " and " << j << " overlap on page " << a.page;
          return;
        }
      }
    }
    // Every label is drawn once, on its page.
    std::size_t drawn = 0;
    for (std::size_t p = 0; p < layout.pages.size(); ++p) {
      testing::RecordingCanvas canvas;
      DrawSheetPage(canvas, layout, scale, p);
      for (const SheetLabel& label : layout.labels) {
        if (label.page != p) continue;
        EXPECT_EQ(canvas.TextsAt(label.rect.left, label.rect.top).size(), 1u);
        ++drawn;
      }
    }
    EXPECT_EQ(drawn, entries.size());
    if (r.metrics.pageWidth == 0) {
      EXPECT_EQ(layout.pages.size(), 1u);
    }
  }
}

// The pages cover the line from the earliest to the latest date.
TEST(TimelineSheetTest, PagesSpanTheWholeLine) {
  TimelineScale scale({800, 600});
  scale.SetRange(7);
  const std::vector<SheetEntry> entries = Generated(3000, 2000, 500);
  const SheetLayout layout = LayoutSheet(entries, scale, Width, {1000, 700, 11, 24});
  const int span = scale.YearToOffset(3000) + scale.YearToOffset(2040) + 2 * 24;
  EXPECT_EQ(layout.pages.size(), static_cast<std::size_t>((span + 999) / 1000));
  EXPECT_EQ(layout.pointX.front(), 24);
  EXPECT_EQ(layout.eraX, 24 + scale.YearToOffset(3000));
}

}  // namespace
}  // namespace qev
