#include "study/round.h"

#include <gtest/gtest.h>

#include "events/temp_folder.h"
#include "study/fake_round_host.h"
#include "study/study_time.h"

namespace qev {
namespace {

using testing::FakeRoundHost;
using testing::LogAnswer;
using testing::ReadBytes;
using testing::TempFolder;

TEST(RoundTest, ARoundOfNTakesTheLowestLevelsThenTheLongestUnansweredThenTimelineOrder) {
  TempFolder folder;
  FakeRoundHost host(folder / kStudyLogName);
  // In timeline order; the answers make 1 and 4 due behind the level-1
  // events never answered, and leave 7 not yet due.
  host.lines = {{1, Sjis("AD0001;1,1,,;p;e1;m;")}, {2, Sjis("AD0002;1,1,,;p;e2;m;")},
                {3, Sjis("AD0003;1,2,,;p;e3;m;")}, {4, Sjis("AD0004;1,1,,;p;e4;m;")},
                {5, Sjis("AD0005;1,1,,;p;e5;m;")}, {6, Sjis("AD0006;1,3,,;p;e6;m;")},
                {7, Sjis("AD0007;1,2,,;p;e7;m;")}, {8, Sjis("AD0008;1,1,,;p;e8;m;")}};
  LogAnswer(folder / kStudyLogName, host.lines[1], {2026, 12, 5, 9});
  LogAnswer(folder / kStudyLogName, host.lines[4], {2026, 12, 1, 9});
  LogAnswer(folder / kStudyLogName, host.lines[6], {2026, 12, 1, 9});
  LogAnswer(folder / kStudyLogName, host.lines[7], {2026, 12, 9, 8});
  const std::vector<std::uint64_t> order{2, 5, 8, 4, 1, 3, 6};
  for (int n : {1, 2, 3, 4, 6, 7, 20}) {
    Round test(host, testing::YearOnly());
    ASSERT_EQ(test.StartRound(n), Round::Start::kRound);
    std::vector<std::uint64_t> asked;
    for (; !test.over(); test.Next()) asked.push_back(test.current()->id.serial);
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(n), order.size());
    EXPECT_EQ(asked, std::vector<std::uint64_t>(order.begin(),
                                                order.begin() + static_cast<std::ptrdiff_t>(count)))
        << n;
  }

  // On a long line: the events never answered come first even when every
  // event before them was answered.
  host.lines.clear();
  for (int i = 1; i <= 600; ++i) {
    host.lines[static_cast<std::uint64_t>(i)] =
        Sjis("AD" + std::to_string(1000 + i) + ";1,1,,;p;e" + std::to_string(i) + ";m;");
    if (i <= 500) LogAnswer(folder / kStudyLogName, host.lines[i], {2026, 12, 1, 9});
  }
  Round test(host, testing::YearOnly());
  ASSERT_EQ(test.StartRound(3), Round::Start::kRound);
  EXPECT_EQ(test.current()->id.serial, 501u);
}

TEST(RoundTest, ARoundAsksDueEventsChangesTheirLevelsAndLogsEachAnswer) {
  TempFolder folder;
  FakeRoundHost host(folder / kStudyLogName);
  host.lines = {{1, Sjis("AD0794;1,3,,;p;a;m;")},
                {2, Sjis("AD1192;1,1,,;p;b;m;")},
                {105, Sjis("BC0005;1,5,,;p;*c;m;")},
                {106, Sjis("X;no date;")}};
  Round test(host, testing::YearOnly());
  ASSERT_EQ(test.StartRound(20), Round::Start::kRound);
  ASSERT_EQ(test.count(), 3u);
  EXPECT_EQ(host.shown, (std::vector<std::uint64_t>{2}));
  EXPECT_TRUE(host.hidden);

  EXPECT_EQ(test.Answer(TypedAnswer{"11九二"}).verdict, AnswerVerdict::kUnreadable);
  host.now.second = 12;  // the seconds taken from the question shown
  const AnswerOutcome right = test.Answer(TypedAnswer{"1192"});
  EXPECT_EQ(right.verdict, AnswerVerdict::kRight);
  EXPECT_EQ(right.dateText, Sjis("AD1192"));
  EXPECT_FALSE(host.hidden);
  EXPECT_EQ(host.lines[2], Sjis("AD1192;1,2,,;p;b;m;"));
  ASSERT_TRUE(test.Next());

  EXPECT_EQ(test.current()->id.serial, 1u);
  EXPECT_EQ(test.ShowHint(), "時代: p\nメモ1: m");
  EXPECT_EQ(test.Answer(TypedAnswer{"800"}).verdict, AnswerVerdict::kWrong);
  EXPECT_EQ(host.lines[1], Sjis("AD0794;1,1,,;p;a;m;"));
  ASSERT_TRUE(test.Next());
  EXPECT_EQ(test.GiveUp().levelAfter, 1);
  EXPECT_FALSE(test.Next());

  const RoundSummary summary = test.summary();
  EXPECT_EQ(summary.questions, 3);
  EXPECT_EQ(summary.right, 1);
  EXPECT_EQ(summary.wrong, 2);
  EXPECT_EQ(summary.levelsUp, 1);
  EXPECT_EQ(summary.levelsDown, 2);
  EXPECT_EQ(test.changedSlots(), (std::vector<int>{0, 1}));

  // The kind, the grade, the hint and the seconds at the right.
  EXPECT_EQ(ReadBytes(folder / kStudyLogName),
            "日時,ファイル,年代,できごと,解答,正誤,記憶度(前),記憶度(後),出題形式,評価,ヒント,秒数,"
            "取り違え\n"
            "2026-12-09T09:00:12,f,AD1192,b,1192,正解,1,2,年,3,0,12,\n"
            "2026-12-09T09:00:12,f,AD0794,a,800,不正解,3,1,年,1,1,0,\n"
            "2026-12-09T09:00:12,f,BC0005,*c,,不正解,5,1,年,1,0,0,\n");

  // Answered today: the level-2 event waits a day; the level-1 ones are due
  // again, in the same order from a fresh read of the log.
  Round again(host, testing::YearOnly());
  ASSERT_EQ(again.StartRound(20), Round::Start::kRound);
  EXPECT_EQ(again.count(), 2u);
  EXPECT_EQ(again.current()->id.serial, 1u);
}

TEST(RoundTest, NothingDueSaysWhenOffersTheLowestLevelsAndTheRecordCountsIt) {
  TempFolder folder;
  FakeRoundHost host(folder / kStudyLogName);
  host.lines = {{1, Sjis("AD0794;1,3,,;p;a;m;")}, {2, Sjis("AD1192;1,4,,;p;b;m;")}};
  for (auto& [id, line] : host.lines) LogAnswer(folder / kStudyLogName, line, {2026, 12, 8, 20});
  Round test(host, testing::YearOnly());
  const StudyRecord record = test.Statistics();
  EXPECT_EQ(record.files[0].levels, (std::array<int, 5>{0, 0, 1, 1, 0}));
  EXPECT_EQ(record.due.today, 0);
  EXPECT_EQ(record.due.nextWeek, 2);
  ASSERT_EQ(record.days.size(), 30u);
  EXPECT_EQ(record.days[28].right, 2);
  EXPECT_EQ(record.days[29].day, DayNumber(2026, 12, 9));

  EXPECT_EQ(test.StartRound(20), Round::Start::kNothingDue);
  EXPECT_EQ(test.NextDueDay(), DayNumber(2026, 12, 11));
  ASSERT_EQ(test.StartAnyway(1), Round::Start::kRound);
  EXPECT_EQ(test.count(), 1u);
  EXPECT_EQ(test.current()->id.serial, 1u);
  test.End();  // early: nothing of the open question is shown
  EXPECT_TRUE(host.left);
  EXPECT_TRUE(host.hidden);
  EXPECT_EQ(test.summary().questions, 0);
}

// A wrong year that is another loaded event's says whose it is, and the
// log keeps the confusion, which the next round's order questions read.
TEST(RoundTest, AWrongYearOfAnotherEventIsNamedAndLoggedAsAConfusion) {
  TempFolder folder;
  FakeRoundHost host(folder / kStudyLogName);
  host.lines = {{1, Sjis("AD1185;1,1,,;p;a;m;")}, {2, Sjis("AD1192;1,2,,;p;yoritomo;m;")}};
  Round test(host, testing::YearOnly());
  ASSERT_EQ(test.StartRound(1), Round::Start::kRound);
  ASSERT_EQ(test.current()->id.serial, 1u);
  const struct {
    const char* typed;
    std::string confusion;
  } cases[] = {{"1192", "1192 は『yoritomo』の年です"}, {"1300", ""}, {"1185", ""}};
  for (const auto& c : cases) {
    ASSERT_EQ(test.StartRound(1), Round::Start::kRound);
    EXPECT_EQ(test.Answer(TypedAnswer{c.typed}).confusion, c.confusion) << c.typed;
  }
  const ReviewHistory history = ReviewHistory::Read(folder / kStudyLogName);
  const EventKey asked = KeyOfEvent("f", host.lines[1]);
  EXPECT_EQ(history.ConfusedWith(asked), (std::vector<EventKey>{KeyOfEvent("f", host.lines[2])}));
  EXPECT_EQ(history.ConfusedWith(KeyOfEvent("f", host.lines[2])), (std::vector<EventKey>{asked}));
}

}  // namespace
}  // namespace qev
