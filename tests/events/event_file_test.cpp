#include "events/event_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace qev {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

TEST(SplitFileLines, EndsLinesAtLfAndDropsTheCrBeforeIt) {
  EXPECT_THAT(SplitFileLines("a\r\nb\nc"), ElementsAre("a", "b", "c"));
  EXPECT_THAT(SplitFileLines("a\r\n\r\n\nb\r\n"), ElementsAre("a", "", "", "b"));
  // Only the CR that ends a line goes; one inside a line stays.
  EXPECT_THAT(SplitFileLines("a\rb\r\r\n"), ElementsAre("a\rb\r"));
  EXPECT_THAT(SplitFileLines(""), ElementsAre());
  EXPECT_THAT(SplitFileLines("\n"), ElementsAre(""));
}

TEST(ParseEventFile, KeepsEventLinesStopsAtTheEndMarkerAndRecordsWhatItRead) {
  const std::string text = "H;日本史;;2024年01月02日03時04分;\r\n"_sj +
                           "AD0710;3,2,AD0794,;奈良時代;平城京;m1;m2;\r\n"_sj +
                           "\r\n"
                           "memo line\n"
                           "BC0660;1,1,,;;神武天皇;;;\n"_sj +
                           ";\r\n"
                           "AD2000;1,1,,;after;the;end;marker;\r\n"
                           "H;late;;\r\n";
  ParsedFile parsed = ParseEventFile(text, ReadText::kKeep);
  EXPECT_THAT(parsed.lines, ElementsAre("AD0710;3,2,AD0794,;奈良時代;平城京;m1;m2;"_sj,
                                        "BC0660;1,1,,;;神武天皇;;;"_sj));
  EXPECT_EQ(parsed.headerLine, "H;日本史;;2024年01月02日03時04分;"_sj);
  EXPECT_EQ(parsed.title, "日本史"_sj);
  // Every line read, skipped ones too, with CR LF, up to the end marker.
  EXPECT_EQ(parsed.lastFileText, "H;日本史;;2024年01月02日03時04分;\r\n"_sj +
                                     "AD0710;3,2,AD0794,;奈良時代;平城京;m1;m2;\r\n"_sj +
                                     "\r\nmemo line\r\n" + "BC0660;1,1,,;;神武天皇;;;\r\n"_sj +
                                     ";\r\n");
}

TEST(ParseEventFile, WithoutEndMarkerReadsToTheEnd) {
  ParsedFile parsed =
      ParseEventFile("H;t;;\nAD0001;1,1,,;;;;;\nBC0001;1,1,,;;;;;", ReadText::kKeep);
  EXPECT_THAT(parsed.lines, ElementsAre("AD0001;1,1,,;;;;;", "BC0001;1,1,,;;;;;"));
  EXPECT_EQ(parsed.lastFileText, "H;t;;\r\nAD0001;1,1,,;;;;;\r\nBC0001;1,1,,;;;;;\r\n");
}

TEST(ParseEventFile, HeaderTitleRules) {
  // No header: empty title.
  EXPECT_EQ(ParseEventFile("AD0001;1,1,,;;;;;\r\n;\r\n").title, "");
  // Only the first line is the header; a later "H" line (a second header,
  // "Hinweis: …", "HTML版…") is a line the reader does not keep, as is one
  // after a first line that is no header.
  ParsedFile two = ParseEventFile("H;first;;\r\nH;second;;\r\nHTML;x\r\n;\r\nH;third;;\r\n");
  EXPECT_EQ(two.title, "first");
  EXPECT_EQ(two.headerLine, "H;first;;");
  ASSERT_EQ(two.dropped.size(), 3u);
  EXPECT_EQ(two.dropped[0].line, 2);
  EXPECT_EQ(two.dropped[0].why, DroppedLine::Why::kLaterHeader);
  EXPECT_EQ(two.dropped[1].line, 3);
  EXPECT_EQ(two.dropped[2].why, DroppedLine::Why::kAfterEndMarker);
  ParsedFile late = ParseEventFile("AD0001;1,1,,;;;;;\r\nH;late;;\r\n");
  EXPECT_EQ(late.title, "");
  EXPECT_EQ(late.dropped.size(), 1u);
  // Without ";" after it, the title runs to the end of the line.
  EXPECT_EQ(ParseEventFile("H;no terminator\r\n").title, "no terminator");
  // The title starts at byte 2 whatever byte 1 is.
  EXPECT_EQ(HeaderTitle("Hxtitle;"), "title");
  EXPECT_EQ(HeaderTitle("H"), "");
  EXPECT_EQ(HeaderTitle("H;"), "");
  // At most 99 bytes, with or without a ";" further on.
  std::string long_title(150, 'x');
  EXPECT_EQ(HeaderTitle("H;" + long_title + ";;"), std::string(99, 'x'));
  EXPECT_EQ(HeaderTitle("H;" + long_title), std::string(99, 'x'));
  EXPECT_EQ(HeaderTitle("H;" + std::string(99, 'y') + ";"), std::string(99, 'y'));
}

TEST(ParseEventFile, BytesSurviveUnconverted) {
  // An invalid lead/trail pair, a lone 0xFF and a double-byte character cut
  // at the end of the line.
  const std::string odd = "AD0794;3,2,,;\x81\x20\xFF;\x93\xFA\x96;m;\x82;";
  const std::string text = "H;\x82\xA0;;\r\n" + odd + "\r\n;\r\n";
  ParsedFile parsed = ParseEventFile(text);
  EXPECT_THAT(parsed.lines, ElementsAre(odd));
  EXPECT_EQ(parsed.title, "\x82\xA0");
}

TEST(ComposeFile, HeaderClockBodyAndEndMarker) {
  std::vector<Sjis> lines{"AD0710;3,2,AD0794,;奈良;平城京;;;"_sj, "BC0660;1,1,,;;x;;;"_sj};
  const Sjis clock = "2024年01月02日03時04分"_sj;
  ComposedFile file = ComposeFile("T"_sj, clock, ComposeSlotBody(lines));
  EXPECT_EQ(file.headerLine, "H;T;;");
  EXPECT_EQ(file.text, "H;T;;"_sj + clock + ";\r\n" + lines[0] + "\r\n" + lines[1] + "\r\n;\r\n");

  // A slot without lines gives the header and the end marker.
  EXPECT_EQ(ComposeFile("空"_sj, "c"_sj, ComposeSlotBody(std::vector<Sjis>{})).text,
            "H;空;;c;\r\n;\r\n"_sj);

  // What the writer composes reads back to the same lines and title.
  ParsedFile back = ParseEventFile(file.text);
  EXPECT_THAT(back.lines, ElementsAreArray(lines));
  EXPECT_EQ(back.title, "T");
}

TEST(ComposeStateBody, DropsTheFirstAndLastPanelLinesAndCutsLongOnes) {
  std::string long_line(300, 'z');
  EXPECT_EQ(ComposeStateBody(Sjis("title\r\none\r\n" + long_line + "\r\nlast")),
            "one\r\n" + std::string(255, 'z') + "\r\n");
  // A text ending in CR LF has an empty last line, which is the one dropped.
  EXPECT_EQ(ComposeStateBody("title\r\none\r\ntwo\r\n"_sj), "one\r\ntwo\r\n"_sj);
  EXPECT_EQ(ComposeStateBody("only"_sj), ""_sj);
  EXPECT_EQ(ComposeStateBody(""_sj), ""_sj);
  EXPECT_EQ(ComposeStateBody("a\r\nb"_sj), ""_sj);
}

}  // namespace
}  // namespace qev
