#include "timeline/point_display.h"

#include <gtest/gtest.h>

#include <string>

namespace qev {
namespace {

TEST(FormatPointLine, BlanksYearZerosOnlyWhileTheyLead) {
  EXPECT_EQ(FormatPointLine("AD0794;3,1,,;p;e;;;"), "AD 794;③,①,,;p;e;;;"_sj);
  EXPECT_EQ(FormatPointLine("BC0010;1,1,,;;;;;"), "BC  10;①,①,,;;;;;"_sj);
  EXPECT_EQ(FormatPointLine("AD0000;1,1,,;;;;;"), "AD   0;①,①,,;;;;;"_sj);
  EXPECT_EQ(FormatPointLine("AD0504;1,1,,;;;;;"), "AD 504;①,①,,;;;;;"_sj);
  EXPECT_EQ(FormatPointLine("AD1000;1,1,,;;;;;"), "AD1000;①,①,,;;;;;"_sj);
  // Zeros elsewhere in the line (second date, memos) stay.
  EXPECT_EQ(FormatPointLine("AD1600;2,5,AD0700,;0;00;;;"), "AD1600;②,⑤,AD0700,;0;00;;;"_sj);
}

TEST(FormatPointLine, LevelDigitsBecomeSymbolsAndTheLineGrows) {
  const std::string stored = "AD0710;0,4,AD0794,;奈良;平城京;;;"_sj;
  const std::string shown = FormatPointLine(stored);
  EXPECT_EQ(shown, "AD 710;○,④,AD0794,;奈良;平城京;;;"_sj);
  EXPECT_EQ(shown.size(), stored.size() + 2);
  // A memorisation digit outside 0..5 stays as it is.
  EXPECT_EQ(FormatPointLine("AD0794;3,9,,;;;;;"), "AD 794;③,9,,;;;;;"_sj);
  // An importance digit outside 0..5 leaves both digits unconverted.
  EXPECT_EQ(FormatPointLine("AD0794;7,2,,;;;;;"), "AD 794;7,2,,;;;;;");
  EXPECT_EQ(FormatPointLine("AD0794;a,2,,;;;;;"), "AD 794;a,2,,;;;;;");
}

TEST(FormatPointLine, MalformedLinesShowWhatIsThere) {
  EXPECT_EQ(FormatPointLine(""), "");
  EXPECT_EQ(FormatPointLine("A"), "A");
  EXPECT_EQ(FormatPointLine("AD00"), "AD  ");
  EXPECT_EQ(FormatPointLine("AD0794"), "AD 794");
  EXPECT_EQ(FormatPointLine("AD0794;"), "AD 794;");
  EXPECT_EQ(FormatPointLine("AD0794;3"), "AD 794;③"_sj);
  EXPECT_EQ(FormatPointLine("AD0794;3,"), "AD 794;③,"_sj);
  EXPECT_EQ(FormatPointLine("AD0794;3,1"), "AD 794;③,①"_sj);
  // Without the "," the next digit is period text, not a level.
  EXPECT_EQ(FormatPointLine("AD0794;3;1st;;;;"), "AD 794;③;1st;;;;"_sj);
  // A year cut short: the level digit after ";" is not a year zero.
  EXPECT_EQ(FormatPointLine("A;0,1,,;;;;;"), "A;○,①,,;;;;;"_sj);
  // A double-byte character cut at the end is kept as its lone lead byte.
  const std::string cut = "AD0794;3,1,,;;" + "歴"_sj.substr(0, 1);
  EXPECT_EQ(FormatPointLine(cut), "AD 794;③,①,,;;"_sj + "歴"_sj.substr(0, 1));
}

// Each visible entry shows its own point's line in display form; past the
// visible points, and for a line the slot no longer holds, nothing.
TEST(PointDisplayLine, FormatsTheLineOfTheVisibleEntry) {
  EventStore store;
  store.slots[2].SetLines(
      {"AD0794;3,1,,;a;;;;"_sj, "BC0010;0,5,,;b;;;;"_sj, "AD1600;9,9,,;c;;;;"_sj});
  store.slots[5].SetLines({"AD0001;1,2,,;d;;;;"_sj});
  // Offsets from the era line at x 100 in an area 200 wide; the point at
  // offset 150 lies outside it.
  const std::vector<TimelinePoint> points{
      {.bc = true, .offset1 = 10, .slot = 2, .line = 1, .serial = store.slots[2].IdAt(1).serial},
      {.offset1 = 20, .slot = 5, .line = 0, .serial = store.slots[5].IdAt(0).serial},
      {.offset1 = 150, .slot = 2, .line = 2, .serial = store.slots[2].IdAt(2).serial},
      // Listed at line 1 before a line was inserted above it: found by id.
      {.offset1 = 30, .slot = 2, .line = 1, .serial = store.slots[2].IdAt(0).serial},
      {.offset1 = 40, .slot = 2, .line = 7, .serial = 0},
  };
  VisiblePointList visible;
  visible.RebuildVisiblePoints(points, 100, 200);
  ASSERT_EQ(visible.size(), 4);
  const std::vector<Sjis> expected{"BC  10;○,⑤,,;b;;;;"_sj,
                                   "AD   1;①,②,,;d;;;;"_sj,
                                   "AD 794;③,①,,;a;;;;"_sj,
                                   Sjis(),
                                   Sjis(),
                                   Sjis()};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(PointDisplayLine(visible, points, store, i), expected[i]) << i;
  }
  EXPECT_EQ(PointDisplayLine(VisiblePointList(), points, store, 0), "");
}

}  // namespace
}  // namespace qev
