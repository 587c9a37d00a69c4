#include <gtest/gtest.h>

#include "platform/fake_platform.h"

namespace qev {
namespace {

TEST(PanelLines, SplitBetweenLineBreaksWithTheEmptyLastLine) {
  EXPECT_EQ(SplitPanelLines("H;x;;\r\nD1;11111;\r\n"_sj),
            (std::vector<Sjis>{"H;x;;"_sj, "D1;11111;"_sj, Sjis()}));
  EXPECT_EQ(SplitPanelLines(Sjis()).size(), 1u);
}

TEST(PanelDisplayText, CutsOnlyLongLinesOnACharacterBoundary) {
  const Sjis& dots = "…"_sj;
  const std::string ascii(kPanelLineLimit + 500, 'x');
  Sjis kana;
  while (kana.size() < kPanelLineLimit + 1) kana += "あ"_sj;
  const Sjis shown = PanelDisplayText(Sjis(ascii + "\r\n" + kana + "\r\nshort\r\n"));
  const std::vector<Sjis> lines = SplitPanelLines(shown);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], std::string(kPanelLineLimit - dots.size(), 'x') + dots);
  // The kana keep whole characters: an even number of bytes before "…".
  EXPECT_EQ(lines[1].size() % 2, 0u);
  EXPECT_LE(lines[1].size(), kPanelLineLimit);
  EXPECT_TRUE(IsValidCp932(lines[1]));
  EXPECT_EQ(lines[2], "short");
  EXPECT_EQ(lines[3], "");
  // A line at the limit is shown whole.
  EXPECT_EQ(PanelDisplayText(Sjis(kPanelLineLimit, 'y')), std::string(kPanelLineLimit, 'y'));
}

}  // namespace
}  // namespace qev
