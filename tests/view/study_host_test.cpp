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

}  // namespace
}  // namespace qev
