#include "export/timeline_sheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "events/slot_files.h"
#include "platform/recording_canvas.h"

namespace qev {
namespace {

int Width(const Sjis& text) {
  return static_cast<int>(text.size()) * 6;
}

int SignedStart(const SheetEntry& e) {
  return e.bc ? -e.year : e.year;
}

// Every point of the bundled event files, in timeline order.
std::vector<SheetEntry> BundledEntries() {
  EventStore store;
  store.SetDataDir(std::filesystem::path(QEV_SOURCE_DIR) / "qev_file");
  int k = 0;
  for (const auto& file : std::filesystem::directory_iterator(store.dataDir())) {
    const std::string name = file.path().stem().string();
    if (name.starts_with("動作状態") || k == EventStore::kSlotCount) continue;
    store.RestoreSlot(k, EncodeCp932(name).bytes, EventStore::DefaultLabel(k), true, true);
    EXPECT_TRUE(LoadSlot(store, k).ok()) << name;
    ++k;
  }
  PointList points;
  points.Rebuild(
      store, [](char, char) { return true; }, [](int year) { return year; });
  return SheetEntries(points, store);
}

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

// Pages follow one another along the line, each with a stretch of its own
// that holds its points; every label stands at its point's x on its page,
// inside the page, in a row of its own there; the last page ends at the
// last point; and each page is printed with its stretch in its header and
// every label once.
TEST(TimelineSheetTest, PagesFollowTheLineAndLabelsStandAtTheirPoints) {
  struct Row {
    const char* what;
    std::vector<SheetEntry> entries;
    int range;
  };
  const std::vector<SheetEntry> bundled = BundledEntries();
  ASSERT_GT(bundled.size(), 400u);
  const Row rows[] = {
      {"bundled", bundled, 0},
      {"bundled", bundled, 7},
      {"bundled", bundled, 14},
      {"dense", Generated(5000, 2000, 1), 7},
      {"sparse", Generated(3000, 2000, 400), 20},
  };
  const SheetMetrics metrics;
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.what) + " at range " + std::to_string(r.range));
    TimelineScale scale({800, 600});
    scale.SetRange(r.range);
    const SheetLayout layout = LayoutSheet(r.entries, scale, Width, metrics);
    ASSERT_EQ(layout.labels.size(), r.entries.size());
    ASSERT_FALSE(layout.pages.empty());
    for (std::size_t p = 0; p < layout.pages.size(); ++p) {
      const SheetPage& page = layout.pages[p];
      EXPECT_LT(page.fromYear, page.toYear);
      EXPECT_GE(page.rangeIndex, r.range);
      if (p > 0) {
        EXPECT_GE(page.fromYear, layout.pages[p - 1].toYear) << "page " << p;
      }
      EXPECT_LE(page.lineRight, layout.pageWidth);
    }
    EXPECT_LE(layout.pages.back().toYear, SignedStart(r.entries.back()) + 10);

    std::vector<int> onPage(layout.pages.size());
    for (std::size_t i = 0; i < layout.labels.size(); ++i) {
      const SheetLabel& a = layout.labels[i];
      ASSERT_LT(a.page, layout.pages.size());
      const SheetPage& page = layout.pages[a.page];
      ++onPage[a.page];
      const int year = SignedStart(r.entries[i]);
      EXPECT_GE(year, page.fromYear);
      EXPECT_LT(year, page.toYear);
      TimelineScale at = scale;
      at.SetRange(page.rangeIndex);
      EXPECT_EQ(a.lineOffset, year < 0 ? -at.YearToOffset(-year) : at.YearToOffset(year));
      EXPECT_EQ(a.markX, SheetX(page, a.lineOffset));
      EXPECT_GE(a.markX, page.lineLeft);
      EXPECT_LE(a.markX, page.lineRight);
      if (i > 0 && layout.labels[i - 1].page == a.page) {
        EXPECT_GE(a.markX, layout.labels[i - 1].markX) << "label " << i;
      }
      EXPECT_TRUE(a.rect.left == a.markX || a.rect.right == a.markX) << "label " << i;
      EXPECT_GE(a.rect.left, 0);
      EXPECT_LE(a.rect.right, layout.pageWidth);
      EXPECT_GE(a.rect.top, layout.rowsTop);
      EXPECT_LE(a.rect.bottom, layout.pageHeight);
      for (std::size_t j = i + 1; j < layout.labels.size() && layout.labels[j].page == a.page;
           ++j) {
        if (a.rect.Overlaps(layout.labels[j].rect)) {
          ADD_FAILURE() << "labels " << i << " and " << j << " overlap on page " << a.page;
          return;
        }
      }
    }
    EXPECT_EQ(std::count(onPage.begin(), onPage.end(), 0), 0) << "a page without points";

    std::size_t drawn = 0;
    for (std::size_t p = 0; p < layout.pages.size(); ++p) {
      testing::RecordingCanvas canvas;
      DrawSheetPage(canvas, layout, scale, p);
      const Sjis header = "QEVライン　"_sj + SheetYearText(layout.pages[p].fromYear) + "～"_sj +
                          SheetYearText(layout.pages[p].toYear);
      ASSERT_FALSE(canvas.TextsAt(0, 0).empty());
      EXPECT_TRUE(canvas.TextsAt(0, 0).front()->text.starts_with(header)) << "page " << p;
      for (const SheetLabel& label : layout.labels) {
        if (label.page != p) continue;
        EXPECT_EQ(canvas.TextsAt(label.rect.left, label.rect.top).size(), 1u);
        ++drawn;
      }
    }
    EXPECT_EQ(drawn, r.entries.size());
  }
}

// Where the range leaves room, a page takes a whole page width of line:
// sparse events share pages, and only the crowded stretches come nearer.
TEST(TimelineSheetTest, SparseStretchesShareAPageAtTheChosenRange) {
  TimelineScale scale({800, 600});
  scale.SetRange(7);
  const SheetLayout sparse = LayoutSheet(Generated(3000, 2000, 250), scale, Width, {});
  const int years = 5000;
  const int perPage = (SheetMetrics{}.pageWidth - 48) * 1000 / scale.cycleWidth();
  EXPECT_LE(sparse.pages.size(), static_cast<std::size_t>(years / perPage + 2));
  for (const SheetPage& page : sparse.pages) EXPECT_EQ(page.rangeIndex, 7);

  const SheetLayout dense = LayoutSheet(Generated(0, 2000, 2), scale, Width, {});
  EXPECT_GT(dense.pages.front().rangeIndex, 7);
}

}  // namespace
}  // namespace qev
