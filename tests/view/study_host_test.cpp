#include "view/study_host.h"

#include <gtest/gtest.h>

#include <string>

#include "study/round.h"
#include "study/study_log.h"
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
  std::string_view Line(std::size_t i) const { return view->session()->store().slots[0].Line(i); }
  std::string LeftPanel() const { return DecodeCp932(platform.panelText[0]); }
};

// A question selects its event with its years hidden; the answer, once
// final, changes the level digit as "記憶度変更=" does, undoably, and
// refused while the self-test is open.
TEST_F(StudyHostTest, AQuestionHidesTheYearsAndItsLevelChangeUndoesAfterTheTest) {
  StudyHost host(*view, *view->session(), platform);
  Round test(host);
  ASSERT_TRUE(view->SetSelfTestOpen(true));
  ASSERT_EQ(test.StartRound(1), Round::Start::kRound);
  EXPECT_EQ(view->session()->SelectedEvent(), view->session()->store().slots[0].IdAt(1));
  EXPECT_NE(LeftPanel().find("二つ目"), std::string::npos);
  EXPECT_EQ(LeftPanel().find("300"), std::string::npos) << LeftPanel();

  EXPECT_EQ(test.Answer(TypedAnswer{"300"}).verdict, AnswerVerdict::kRight);
  EXPECT_NE(LeftPanel().find("300"), std::string::npos);
  // Written when the grade is final, as the round ends.
  test.End();
  EXPECT_EQ(Line(1), EncodeCp932("AD0300;5,2,,;古代;二つ目;;;").bytes);
  EXPECT_EQ(view->session()->store().slots[0].changed, true);

  platform.messages.clear();
  view->OnKeyCommand(KeyCommand::kUndo);
  EXPECT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(Line(1), EncodeCp932("AD0300;5,2,,;古代;二つ目;;;").bytes);

  ASSERT_TRUE(view->SetSelfTestOpen(false));
  view->OnKeyCommand(KeyCommand::kUndo);
  EXPECT_EQ(Line(1), EncodeCp932("AD0300;5,1,,;古代;二つ目;;;").bytes);
  EXPECT_EQ(view->session()->store().slots[0].changed, false);
}

// A running round that takes clicks on the line, as a place-on-the-line
// question does: it gets each left click on the drawing area first, in the
// area's coordinates, and the timeline sees only the clicks it leaves.
class TakesEveryClick final : public LineClickTaker {
 public:
  bool takes = true;
  std::vector<std::pair<int, int>> places;
  bool TakeLineClick(const LinePlace& place) override {
    places.emplace_back(place.x, place.y);
    return takes;
  }
};

TEST_F(StudyHostTest, AClickOnTheLineGoesToTheRoundFirst) {
  TakesEveryClick round;
  view->OfferLineClicks(&round);
  const ScreenLayout& l = view->layout();
  const int x = l.drawAreaX() + 40;
  const int y = l.drawAreaY() + 100;
  struct Case {
    bool takes;
    bool selectionMoves;
  } cases[] = {{true, false}, {false, true}};
  for (const Case& c : cases) {
    round.takes = c.takes;
    round.places.clear();
    const EventId last = view->session()->store().slots[0].IdAt(2);
    view->Redraw(view->session()->SelectEvent(last).changes);
    const std::optional<EventId> before = view->session()->SelectedEvent();
    ASSERT_EQ(before, last);
    view->OnLButtonUp(x, y);
    EXPECT_EQ(round.places, (std::vector<std::pair<int, int>>{{40, 100}}));
    EXPECT_EQ(view->session()->SelectedEvent() != before, c.selectionMoves) << c.takes;
  }
  // Clicks off the drawing area, and any click once the round is gone,
  // are the view's alone.
  round.places.clear();
  view->OnLButtonUp(l.drawAreaX() - 2, y);
  view->OfferLineClicks(nullptr);
  view->OnLButtonUp(x, y);
  EXPECT_TRUE(round.places.empty());
}

// "学習の記録" counts the events on the line, under the filters and the
// file switches: the bars, the figure of events, what is due and the
// answers alike; a file with nothing on the line has no bar.
TEST_F(StudyHostTest, TheRecordCountsTheEventsOnTheLine) {
  WriteSlot(1, "別", "AD0200;1,4,,;;別一;;;\r\nAD0400;1,4,,;;別二;;;\r\n");
  Start();
  const LocalTime yesterday{2026, 12, 7, 9, 0, 0};
  ASSERT_FALSE(AppendStudyLog(folder / kStudyLogName, {yesterday,
                                                       "歴史文書20",
                                                       "AD0100",
                                                       "一つ目",
                                                       "100",
                                                       true,
                                                       2,
                                                       3,
                                                       "年",
                                                       Grade::kGood,
                                                       false,
                                                       {},
                                                       {}}));
  ASSERT_FALSE(AppendStudyLog(folder / kStudyLogName, {yesterday,
                                                       "歴史文書21",
                                                       "AD0200",
                                                       "別一",
                                                       "200",
                                                       true,
                                                       4,
                                                       5,
                                                       "年",
                                                       Grade::kGood,
                                                       false,
                                                       {},
                                                       {}}));
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
    const StudyRecord record = Round(host).Statistics();
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
