#include "model/content_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qev {
namespace {

const Sjis& kLine = "AD0794;3,2,    ;平安時代;平安京に遷都;鳴くよ;うぐいす;"_sj;

TEST(ContentEdit, LocatesTheLineFromThePointKey) {
  struct Case {
    std::string key;
    std::optional<EventLineLocation> where;
  };
  const Case cases[] = {
      {"AD0794 ;3;12;x;", EventLineLocation{3, 12}},
      {"AD0794 ;9;0;", EventLineLocation{9, 0}},
      {"AD0794 ;3;12", std::nullopt},                    // no third ";"
      {"AD0794 ;10;1;", std::nullopt},                   // no such slot
      {std::string(198, 'A') + ";3;12;", std::nullopt},  // third ";" beyond 201 bytes
      {std::string(180, 'A') + ";3;12;", EventLineLocation{3, 12}},
  };
  for (const Case& c : cases) EXPECT_EQ(LocateEventLine(c.key), c.where) << c.key;
}

TEST(ContentEdit, EditTextHoldsThePointsOwnTextsUnderTheirLabels) {
  EXPECT_EQ(EditPanelText(kLine),
            "できごと=平安京に遷都\r\n  メモ1  =鳴くよ\r\n  メモ2  =うぐいす\r\n"_sj);
  // The approximate-date mark is not shown for editing.
  EXPECT_EQ(EditPanelText("AD0794;3,2,    ;;*遷都;;;"_sj),
            "できごと=遷都\r\n  メモ1  =\r\n  メモ2  =\r\n"_sj);
}

TEST(ContentEdit, RewritesTheLastThreeFieldsOrRefuses) {
  const std::vector<Sjis> unchanged = {"できごと=平安京に遷都"_sj, "  メモ1  =鳴くよ"_sj,
                                       "  メモ2  =うぐいす"_sj};
  EditedLine same = RewriteEventLine(kLine, unchanged);
  ASSERT_TRUE(same.ok());
  EXPECT_EQ(same.line, kLine);

  // A typed ";" must not end the field; an "=" after the label's is text.
  EditedLine typed = RewriteEventLine(kLine, {"できごと=a;b=c"_sj, "  メモ1  ="_sj, "x=y"_sj});
  ASSERT_TRUE(typed.ok());
  EXPECT_EQ(typed.line, "AD0794;3,2,    ;平安時代;a；b=c;;y;"_sj);

  EditedLine marked = RewriteEventLine("AD0794;3,2,;;*遷都;;;"_sj, unchanged);
  EXPECT_EQ(marked.line, "AD0794;3,2,;;*平安京に遷都;鳴くよ;うぐいす;"_sj);

  const Sjis longest = "  メモ1  ="_sj + Sjis(kEditLineLimit - 10, 'm');
  ASSERT_EQ(longest.size(), kEditLineLimit);
  EXPECT_TRUE(RewriteEventLine(kLine, {unchanged[0], longest, unchanged[2]}).ok());

  struct Refused {
    std::string line;
    std::vector<Sjis> panel;
    EditProblem problem;
    int panelLine;
  };
  const Refused refused[] = {
      {kLine, {unchanged[0], longest + "m"_sj, unchanged[2]}, EditProblem::kLineTooLong, 1},
      {kLine, {unchanged[0], unchanged[1], "うぐいす"_sj}, EditProblem::kLabelMissing, 2},
      {kLine, {unchanged[0], unchanged[1]}, EditProblem::kLabelMissing, 2},
      {"AD0794;3,2;", unchanged, EditProblem::kMalformedEvent, 0},
  };
  for (const Refused& r : refused) {
    EditedLine out = RewriteEventLine(r.line, r.panel);
    EXPECT_EQ(out.problem, r.problem) << r.panelLine;
    EXPECT_EQ(out.panelLine, r.panelLine);
    EXPECT_TRUE(out.line.empty());
  }
}

TEST(ContentEdit, LevelsStepRoundAndBothDigitsAreWritten) {
  EXPECT_EQ(StepLevel(5, +1), 1);
  EXPECT_EQ(StepLevel(3, +1), 4);
  EXPECT_EQ(StepLevel(1, -1), 5);
  EXPECT_EQ(StepLevel(3, -1), 2);

  EXPECT_EQ(WriteLevelDigits(kLine, 4, 2),
            "AD0794;4,2,    ;平安時代;平安京に遷都;鳴くよ;うぐいす;"_sj);
  EXPECT_EQ(WriteLevelDigits("AD0794;1,5", 2, 5), "AD0794;2,5");
  // A short year puts the separators where the digits belong.
  EXPECT_EQ(WriteLevelDigits("AD794;3,2,;", 4, 2), std::nullopt);
  EXPECT_EQ(WriteLevelDigits("AD0794;3", 4, 2), std::nullopt);
}

TEST(ContentEdit, CancelEndsOnlyAnEditUnderWay) {
  ContentEditState idle;
  EXPECT_FALSE(idle.Cancel());
  ContentEditState editing{1, 2, 3, 4};
  EXPECT_TRUE(editing.Cancel());
  EXPECT_EQ(editing.contentEditMode, 0);
  EXPECT_EQ(editing.editClickCount, 0);
  EXPECT_EQ(editing.importanceChange, 3);
}

}  // namespace
}  // namespace qev
