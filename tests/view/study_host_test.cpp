#include "view/study_host.h"

#include <gtest/gtest.h>

#include <string>

#include "study/self_test.h"
#include "view/view_fixture.h"

namespace qev {
namespace {

class StudyHostTest : public testing::ViewFixture {
 protected:
  void SetUp() override {
    WriteSlot(0, "題",
              "AD0100;1,2,,;古代;一つ目;m1;m2;\r\n"
              "AD0300;5,1,,;古代;二つ目;;;\r\n"
              "AD0500;3,3,AD0600,;中世;三つ目;;;\r\n");
    Start();
  }
  const Sjis& Line(std::size_t i) const { return view->session()->store().slots[0].Line(i); }
  std::string LeftPanel() const { return DecodeCp932(platform.panelText[0]); }
};

// A question selects its event with its years hidden; the answer changes the
// level digit as "記憶度変更=" does, undoably, and refused while the
// self-test is open.
TEST_F(StudyHostTest, AQuestionHidesTheYearsAndItsLevelChangeUndoesAfterTheTest) {
  StudyHost host(*view, *view->session(), platform);
  SelfTest test(host);
  ASSERT_TRUE(view->SetSelfTestOpen(true));
  ASSERT_EQ(test.StartRound(1), SelfTest::Start::kRound);
  EXPECT_EQ(view->session()->SelectedEvent(), view->session()->store().slots[0].IdAt(1));
  EXPECT_NE(LeftPanel().find("二つ目"), std::string::npos);
  EXPECT_EQ(LeftPanel().find("300"), std::string::npos) << LeftPanel();

  EXPECT_EQ(test.Answer("300").verdict, AnswerVerdict::kRight);
  EXPECT_EQ(Line(1), EncodeCp932("AD0300;5,2,,;古代;二つ目;;;").bytes);
  EXPECT_EQ(view->session()->store().slots[0].changed, true);
  EXPECT_NE(LeftPanel().find("300"), std::string::npos);
  test.End();

  platform.messages.clear();
  view->OnKeyCommand(KeyCommand::kUndo);
  EXPECT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(Line(1), EncodeCp932("AD0300;5,2,,;古代;二つ目;;;").bytes);

  ASSERT_TRUE(view->SetSelfTestOpen(false));
  view->OnKeyCommand(KeyCommand::kUndo);
  EXPECT_EQ(Line(1), EncodeCp932("AD0300;5,1,,;古代;二つ目;;;").bytes);
  EXPECT_EQ(view->session()->store().slots[0].changed, false);
}

// "学習の記録" counts the events on the line, under the filters and the
// file switches: the bars, the figure of events, what is due and the
// answers alike; a file with nothing on the line has no bar.
TEST_F(StudyHostTest, TheRecordCountsTheEventsOnTheLine) {
  WriteSlot(1, "別", "AD0200;1,4,,;;別一;;;\r\nAD0400;1,4,,;;別二;;;\r\n");
  Start();
  const LocalTime yesterday{2026, 12, 7, 9, 0, 0};
  ASSERT_FALSE(AppendStudyLog(folder / kStudyLogName,
                              {yesterday, "歴史文書20", "AD0100", "一つ目", "100", true, 2, 3}));
  ASSERT_FALSE(AppendStudyLog(folder / kStudyLogName,
                              {yesterday, "歴史文書21", "AD0200", "別一", "200", true, 4, 5}));
  StudyHost host(*view, *view->session(), platform);
  struct Row {
    bool secondOn;
    bool importanceOne;  // the events of importance ① pass the filter
    int events;
    std::vector<std::array<int, 5>> files;
    int answered;
  };
  const Row rows[] = {
      {true, true, 5, {{1, 1, 1, 0, 0}, {0, 0, 0, 2, 0}}, 2},
      {false, true, 3, {{1, 1, 1, 0, 0}}, 1},
      {true, false, 2, {{1, 0, 1, 0, 0}}, 0},
  };
  bool importanceOne = true;
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.secondOn) + std::to_string(r.importanceOne));
    if (view->session()->store().slots[1].on != r.secondOn) {
      Click(static_cast<PanelArea>(static_cast<int>(PanelArea::kSlot1) + 1));
    }
    if (importanceOne != r.importanceOne) {
      Click(PanelArea::kImportance1);
      importanceOne = r.importanceOne;
    }
    const StudyRecord record = SelfTest(host).Statistics();
    EXPECT_EQ(record.events, r.events);
    std::vector<std::array<int, 5>> files;
    for (const StudyRecord::File& f : record.files) files.push_back(f.levels);
    EXPECT_EQ(files, r.files);
    int answered = 0;
    for (const DayAnswers& day : record.days) answered += day.right + day.wrong;
    EXPECT_EQ(answered, r.answered);
  }
}

}  // namespace
}  // namespace qev
