#include "events/file_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "events/temp_folder.h"
#include "text/cp932.h"

namespace qev {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

auto Problem(int line, const std::string& text) {
  return AllOf(Field(&FileProblem::line, line), Field(&FileProblem::message, HasSubstr(text)));
}

TEST(CheckEventFile, AGoodFileHasNoProblems) {
  EXPECT_THAT(CheckEventFile("H;日本史;;c;\r\n"_sj + "AD0710;3,2,AD0794,;奈良;平城京;;;\r\n"_sj +
                             "BC0660;1,5,,;;x;;;\r\n\r\n;\r\n"),
              IsEmpty());
  // An event file with no event still has its header.
  EXPECT_THAT(CheckEventFile("H;t;;c;\r\n;\r\n"), IsEmpty());
  EXPECT_THAT(CheckEventFile(""), ElementsAre(Problem(1, "empty")));
}

TEST(CheckEventFile, ReportsEachFaultOfAnEventLineOnItsPhysicalLine) {
  const std::string text =
      "H;t;;\n"
      "\n"                             // 2: blank, skipped
      "AX0710;3,2,,;a;b;c;d;\n"        // 3: era
      "AD710;3,2,,;a;b;c;d;\n"         // 4: year of three digits, so levels misplaced
      "AD0710;0,6,,;a;b;c;d;\r\n"      // 5: both levels
      "AD0710;3,2,,;a;b;\n"            // 6: fields
      "AD0710;3,2,AD794,;a;b;c;d;\n"   // 7: second date
      "BC0001;1,1,BC0002,;a;b;c;d;\n"  // 8: fine
      "AD07\x82\n"                     // 9: cut character, and everything else
      "H;second header;;\n"            // 10: only the first line is the header
      ";\n"
      "XX;after the end marker\n";
  std::vector<FileProblem> problems = CheckEventFile(text);
  EXPECT_THAT(problems,
              ElementsAre(Problem(3, "era"), Problem(4, "four digits"), Problem(4, "importance"),
                          Problem(4, "memorisation"), Problem(5, "importance"),
                          Problem(5, "memorisation"), Problem(6, "only 4 of the six"),
                          Problem(7, "second date"), Problem(9, "not valid Shift-JIS"),
                          Problem(9, "four digits"), Problem(9, "importance (byte 8) is nothing"),
                          Problem(9, "memorisation"), Problem(9, "only 0 of the six"),
                          Problem(10, "begins with \"H\", but only the first line is the header"),
                          Problem(12, "after the end marker")));
}

TEST(CheckEventFile, FindsBytesThatAreNotCp932OnAnyLine) {
  std::vector<FileProblem> problems =
      CheckEventFile("H;\xFF;;\r\nAD0710;3,2,,;\x81\x20;b;c;d;\r\n;\r\n\xFF\r\n");
  EXPECT_THAT(problems, ElementsAre(Problem(1, "Shift-JIS"), Problem(2, "Shift-JIS"),
                                    Problem(4, "after the end marker")));
}

TEST(CheckEventFile, AUtf8FileIsCheckedAsTheTextTheProgramTakesIn) {
  // Saved as UTF-8: checked as its Shift-JIS text, so a good one is good.
  EXPECT_THAT(CheckEventFile("H;日本史;;\nAD0710;3,2,,;奈良;平城京;;;\n;\n"), IsEmpty());
  EXPECT_THAT(CheckEventFile("H;日本史;;\nAD071;3,2,,;奈良;平城京;;;\n;\n"),
              Contains(Problem(2, "four digits")));
  // A character without a Shift-JIS form is named once, with its line.
  EXPECT_THAT(CheckEventFile("H;t;;\r\nAD0710;3,2,,;😀;;;;\r\nAD0711;3,2,,;😀;;;;\r\n"),
              ElementsAre(Problem(2, "😀")));
}

}  // namespace
}  // namespace qev

namespace qev {
namespace {

TEST(CheckEventFiles, ReportsByFileAndLineAndExitsByWhatItFound) {
  testing::TempFolder folder;
  std::string good = (folder / "good.txt").string();
  std::string bad = (folder / "bad.txt").string();
  testing::WriteBytes(good, "H;t;;c;\r\nAD0794;3,1,,;p;e;m;n;\r\n;\r\n");
  testing::WriteBytes(bad, "H;t;;c;\r\nAD0794;3,1,,;p;e;m;n;\r\nAD794;3,1,,;p;e;m;n;\r\n;\r\n");

  std::ostringstream out, err;
  EXPECT_EQ(CheckEventFiles({good}, out, err), 0);
  EXPECT_EQ(out.str(), "1 file checked, no problems found.\n");

  out.str("");
  EXPECT_EQ(CheckEventFiles({good, bad}, out, err), 1);
  EXPECT_EQ(out.str().rfind(bad + ":3: ", 0), 0u) << out.str();
  EXPECT_EQ(out.str().find("good.txt"), std::string::npos);
  EXPECT_EQ(out.str().find("checked"), std::string::npos);  // no summary

  // The state file beside the event files is passed over.
  const std::string state = (folder / "動作状態10.txt").string();
  testing::WriteBytes(state, "H;動作状態10;;c;\r\nD1;11111;11111;0;\r\n;\r\n"_sj);
  out.str("");
  EXPECT_EQ(CheckEventFiles({good, state}, out, err), 0);
  EXPECT_EQ(out.str(), state + ": the operating-state file, not an event file: not checked\n" +
                           "1 file checked, no problems found.\n");

  // A UTF-8 file is said to be read as such; it has no problem for that.
  const std::string utf8 = (folder / "utf8.txt").string();
  testing::WriteBytes(utf8, "H;日本史;;c;\nAD0794;3,1,,;平安;遷都;;;\n;\n");
  out.str("");
  EXPECT_EQ(CheckEventFiles({utf8}, out, err), 0);
  EXPECT_EQ(out.str().rfind(utf8 + ": UTF-8: read", 0), 0u) << out.str();

  out.str("");
  EXPECT_EQ(CheckEventFiles({bad, (folder / "none.txt").string()}, out, err), 2);
  EXPECT_NE(err.str().find("none.txt: cannot be read"), std::string::npos);
}

}  // namespace
}  // namespace qev
