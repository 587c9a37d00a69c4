#include "timeline/info_panels.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "timeline/point_display.h"

namespace qev {
namespace {

constexpr YearDisplayMode kRangeMode = YearDisplayMode::kRange;
constexpr YearDisplayMode kYearMode = YearDisplayMode::kYear;

DisplaySettings AllOn(YearDisplayMode yearDisplayMode) {
  DisplaySettings s;
  s.yearDisplayMode = yearDisplayMode;
  return s;
}

DisplaySettings LeftAllOff(YearDisplayMode yearDisplayMode) {
  DisplaySettings s = AllOn(yearDisplayMode);
  s.showYear = s.showImportance = s.showMemorisation = s.showEventLeft = 0;
  return s;
}

InfoPanelsContent Compose(const std::string& stored, const DisplaySettings& s,
                          std::string_view key = "AD0710;3;12;;", int importanceChange = 1,
                          int memorisationChange = 1) {
  return ComposeInfoPanels(FormatPointLine(stored), s, key, importanceChange, memorisationChange);
}

int LineBreaks(std::string_view text) {
  int count = 0;
  for (std::size_t p = text.find("\r\n"); p != std::string_view::npos;
       p = text.find("\r\n", p + 2)) {
    ++count;
  }
  return count;
}

std::string Spaces(std::size_t n) {
  return std::string(n, ' ');
}

// AD 710 to a second date, importance 3, memorisation 2.
std::string NaraLine(std::string_view secondDate, std::string_view period, std::string_view event) {
  return "AD0710;3,2," + std::string(secondDate) + ",;" + std::string(period) + ";" +
         std::string(event) + ";m1;m2;";
}

TEST(InfoPanels, YearModeShowsOneLineWithoutTheSecondDate) {
  const std::string line = "AD0794;3,1,AD0800,;平安時代;平安京遷都;m1;m2;"_sj;
  EXPECT_EQ(Compose(line, AllOn(kYearMode)).left, "AD 794;③,①;平安京遷都;\r\n"_sj);
  EXPECT_EQ(Compose(line, LeftAllOff(kYearMode)).left, "          ;   ,   ;;\r\n");
  // With the year hidden 範囲表示 adds no range and no period either.
  EXPECT_EQ(Compose(line, LeftAllOff(kRangeMode)).left, "          ;   ,   ;;\r\n");
  // An approximate date takes its place on the one line with "ころ",
  // whatever the second date and period; hidden, it leaves eight spaces.
  const std::string about = "AD0794;3,1,AD0800,;*平安時代;*平安京遷都;m1;m2;"_sj;
  EXPECT_EQ(Compose(about, AllOn(kYearMode)).left, "AD 794 ころ;③,①;平安京遷都;\r\n"_sj);
  EXPECT_EQ(Compose(about, LeftAllOff(kYearMode)).left, "        ;   ,   ;;\r\n");
}

TEST(InfoPanels, RangeModeSecondLineForEveryCombinationOfApproximateDates) {
  const std::string nara = "奈良時代"_sj;
  const std::string heijo = "平城京"_sj;
  const std::string line1 = "AD 710;③,②;平城京;\r\n"_sj;
  const std::string line1About = Spaces(8) + ";③,②;平城京;\r\n"_sj;
  struct Row {
    std::string secondDate, period, event, expected;
  };
  const std::vector<Row> rows = {
      {"AD0794", nara, heijo, line1 + Spaces(18) + "AD 710 　～ 　AD 794 = 奈良時代\r\n"_sj},
      {"AD0794", "*" + nara, heijo,
       line1 + Spaces(16) + "AD 710 　～　 AD 794 ころ = 奈良時代\r\n"_sj},
      {"AD0794", nara, "*" + heijo,
       line1About + Spaces(16) + "AD 710 ころ 　～　 AD 794 = 奈良時代\r\n"_sj},
      {"AD0794", "*" + nara, "*" + heijo,
       line1About + Spaces(16) + "AD 710 ころ　 ～ 　AD 794 ころ = 奈良時代\r\n"_sj},
      {"", "*" + nara, heijo, line1 + Spaces(16) + "AD 710 　～　  = 奈良時代\r\n"_sj},
      {"", "*" + nara, "*" + heijo,
       line1About + Spaces(16) + "AD 710 ころ 　～　  = 奈良時代\r\n"_sj},
      {"", nara, heijo, line1 + Spaces(17) + nara + "\r\n"},
      {"", nara, "*" + heijo, line1About + Spaces(16) + "AD 710 ころ = 奈良時代\r\n"_sj},
      {"", "", "*" + heijo, line1About + Spaces(16) + "AD 710 ころ"_sj},
  };
  for (const Row& row : rows) {
    const std::string stored = NaraLine(row.secondDate, row.period, row.event);
    EXPECT_EQ(Compose(stored, AllOn(kRangeMode)).left, row.expected) << DecodeCp932(stored);
  }
}

TEST(InfoPanels, SecondDateLosesSpacesAndLeadingZeros) {
  const auto secondLine = [](std::string_view secondDate) {
    const std::string left = Compose(NaraLine(secondDate, "", "e"), AllOn(kRangeMode)).left;
    return left.substr(left.find("\r\n") + 2);
  };
  EXPECT_EQ(secondLine(" BC 0005"), Spaces(18) + "AD 710 　～ 　BC   5"_sj);
  EXPECT_EQ(secondLine("AD0000"), Spaces(18) + "AD 710 　～ 　AD   0"_sj);
  EXPECT_EQ(secondLine("AD1192"), Spaces(18) + "AD 710 　～ 　AD1192"_sj);
}

TEST(InfoPanels, MasksKeepTheSeparatorsAndLeaveTheRangeLineAlone) {
  const std::string line = NaraLine("AD0794", "奈良時代"_sj, "平城京"_sj);
  const std::string range = Spaces(18) + "AD 710 　～ 　AD 794"_sj;
  DisplaySettings s = AllOn(kRangeMode);

  s.showImportance = 0;
  EXPECT_EQ(Compose(line, s).left, "AD 710;   ,②;平城京;\r\n"_sj + range + " = 奈良時代\r\n"_sj);
  s = AllOn(kRangeMode);
  s.showMemorisation = 0;
  EXPECT_EQ(Compose(line, s).left, "AD 710;③,   ;平城京;\r\n"_sj + range + " = 奈良時代\r\n"_sj);
  s = AllOn(kRangeMode);
  s.showEventLeft = 0;  // no period, and the range ends the text without a line break
  EXPECT_EQ(Compose(line, s).left, "AD 710;③,②;;\r\n"_sj + range);
  s = AllOn(kRangeMode);
  s.showYear = 0;
  EXPECT_EQ(Compose(line, s).left, Spaces(10) + ";③,②;平城京;\r\n"_sj);
  // An approximate first date puts eight spaces in the date's place, masked or not.
  EXPECT_EQ(Compose(NaraLine("", "", "*平城京"_sj), s).left, Spaces(8) + ";③,②;平城京;\r\n"_sj);
}

TEST(InfoPanels, RightPanelLabelsEachShownField) {
  const std::string line = NaraLine("", "", "*平城京"_sj);
  EXPECT_EQ(Compose(line, AllOn(kYearMode)).right,
            "できごと=平城京\r\n  メモ1  =m1\r\n  メモ2  =m2\r\n"_sj);
  DisplaySettings s = AllOn(kYearMode);
  s.showEventRight = s.showMemo2 = 0;
  EXPECT_EQ(Compose(line, s).right, "  メモ1  =m1\r\n"_sj);
  s.showMemo1 = 0;
  EXPECT_EQ(Compose(line, s).right, "");
}

TEST(InfoPanels, LevelsAndSlotAreHandedToTheControlPanel) {
  const std::string line = NaraLine("AD0794", "", "e");
  InfoPanelsContent c = Compose(line, AllOn(kRangeMode), "AD0710;7;12;AD0794;", 5, 5);
  EXPECT_EQ(c.selectedImportanceText, "③"_sj);
  EXPECT_EQ(c.selectedMemorisationText, "②"_sj);
  EXPECT_EQ(c.importanceChange, 3);
  EXPECT_EQ(c.memorisationChange, 2);
  EXPECT_EQ(c.selectedSlotDigit, '7');

  // The panel flags hide the symbols but the levels still follow the point;
  // hiding the levels in the left panel does not hide them from the control panel.
  DisplaySettings s = AllOn(kRangeMode);
  s.importanceToPanel = s.memorisationToPanel = 0;
  s.showImportance = 1;
  c = Compose(line, s, "AD0710;7;12;AD0794;", 5, 5);
  EXPECT_EQ(c.selectedImportanceText, "   ");
  EXPECT_EQ(c.selectedMemorisationText, "   ");
  EXPECT_EQ(c.importanceChange, 3);
  s = AllOn(kRangeMode);
  s.showImportance = s.showMemorisation = 0;
  EXPECT_EQ(Compose(line, s).selectedImportanceText, "③"_sj);

  // ○ is shown but is no level to change from.
  c = Compose("AD0710;0,0,,;;e;;;", AllOn(kRangeMode), "AD0710;0;1;;", 4, 2);
  EXPECT_EQ(c.selectedImportanceText, "○"_sj);
  EXPECT_EQ(c.selectedMemorisationText, "○"_sj);
  EXPECT_EQ(c.importanceChange, 4);
  EXPECT_EQ(c.memorisationChange, 2);
  EXPECT_EQ(c.selectedSlotDigit, '0');

  // An unconverted importance digit leaves the memorisation digit unconverted
  // too: both show as they are, and both levels stay.
  c = Compose("AD0710;7,3,,;;e;;;", AllOn(kRangeMode), "AD0710;1;1;;", 4, 2);
  EXPECT_EQ(c.left, "AD 710;7,3;e;\r\n");
  EXPECT_EQ(c.selectedImportanceText, "7");
  EXPECT_EQ(c.selectedMemorisationText, "3");
  EXPECT_EQ(c.importanceChange, 4);
  EXPECT_EQ(c.memorisationChange, 2);

  // A memorisation digit outside 0..5 after a converted importance shows
  // alone, without the "," that follows it.
  c = Compose("AD0710;3,9,,;;e;;;", AllOn(kRangeMode), "AD0710;1;1;;", 4, 2);
  EXPECT_EQ(c.left, "AD 710;③,9;e;\r\n"_sj);
  EXPECT_EQ(c.selectedImportanceText, "③"_sj);
  EXPECT_EQ(c.selectedMemorisationText, "9");
  EXPECT_EQ(c.importanceChange, 3);
  EXPECT_EQ(c.memorisationChange, 2);
}

TEST(InfoPanels, MalformedLinesShowWhatIsThere) {
  EXPECT_EQ(Compose("", AllOn(kRangeMode)).left, ";,;;\r\n");
  EXPECT_EQ(Compose("AD0794", AllOn(kRangeMode)).left, "AD 794;,;;\r\n");
  EXPECT_EQ(Compose("AD0794", AllOn(kRangeMode)).right,
            "できごと=\r\n  メモ1  =\r\n  メモ2  =\r\n"_sj);
  // Field 1 cut after the second date: no third comma, no further fields.
  EXPECT_EQ(Compose("AD0794;3,1,AD0800", AllOn(kRangeMode)).left,
            "AD 794;③,①;;\r\n"_sj + Spaces(18) + "AD 794 　～ 　AD 800"_sj);
  // Commas of later fields are not taken for the levels' commas.
  const InfoPanelsContent c = Compose("AD0794;3;p,q,r;e;;;", AllOn(kRangeMode));
  EXPECT_EQ(c.left, "AD 794;③,;e;\r\n"_sj + Spaces(17) + "p,q,r\r\n");
  EXPECT_EQ(c.selectedMemorisationText, "");
  // Keys without a slot number.
  EXPECT_EQ(Compose("AD0794;3,1,,;;;;;", AllOn(kRangeMode), "").selectedSlotDigit, '\0');
  EXPECT_EQ(Compose("AD0794;3,1,,;;;;;", AllOn(kRangeMode), "AD0794;").selectedSlotDigit, '\0');
}

// A copy of some bytes in a heap block of exactly their size, with no
// terminating '\0' behind them.
class ExactBytes {
 public:
  explicit ExactBytes(std::string_view bytes)
      : size_(bytes.size()), data_(std::make_unique<char[]>(bytes.size())) {
    bytes.copy(data_.get(), size_);
  }
  std::string_view view() const { return {data_.get(), size_}; }

 private:
  std::size_t size_;
  std::unique_ptr<char[]> data_;
};

// Every byte-length prefix of a full line (cutting fields, commas and
// double-byte characters) in every toggle combination: each prefix sits in a
// buffer of exactly its size, so a read past the end is caught by the
// address sanitizer.
TEST(InfoPanels, TheSecondDateIsLookedForInTheFirst256Bytes) {
  // A second-date field running past byte 256 shows only what lies within.
  const std::string line = "AD0710;3,2," + std::string(1 << 20, 'x') + ",;p;e;m1;m2;";
  const InfoPanelsContent c = Compose(line, AllOn(kRangeMode));
  EXPECT_LT(c.left.size(), 400u);
  EXPECT_NE(c.left.find(std::string(245, 'x')), std::string::npos);
}

TEST(InfoPanels, EveryPrefixOfALineComposesWithinItsBytes) {
  const std::string full = NaraLine(" AD0794", "*奈良時代"_sj, "*平城京"_sj);
  for (std::size_t n = 0; n <= full.size(); ++n) {
    const ExactBytes stored(std::string_view(full).substr(0, n));
    const std::string shown = FormatPointLine(stored.view());
    const ExactBytes line(shown);
    const ExactBytes key(std::string_view(full).substr(0, n % 20));
    for (int bits = 0; bits < 1 << 7; ++bits) {
      DisplaySettings s;
      s.showYear = bits & 1;
      s.showImportance = (bits >> 1) & 1;
      s.showMemorisation = (bits >> 2) & 1;
      s.showEventLeft = (bits >> 3) & 1;
      s.showEventRight = s.showMemo1 = s.showMemo2 = (bits >> 4) & 1;
      s.importanceToPanel = s.memorisationToPanel = (bits >> 5) & 1;
      s.yearDisplayMode = (bits >> 6) & 1 ? kYearMode : kRangeMode;
      const InfoPanelsContent c = ComposeInfoPanels(line.view(), s, key.view(), 1, 1);
      if (s.yearDisplayMode == kYearMode) {
        ASSERT_EQ(LineBreaks(c.left), 1) << n << " " << bits;
        ASSERT_TRUE(c.left.ends_with("\r\n")) << n << " " << bits;
      }
      ASSERT_EQ(LineBreaks(c.right), 3 * s.showEventRight) << n << " " << bits;
    }
  }
}

}  // namespace
}  // namespace qev
