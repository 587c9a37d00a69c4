#include "study/round.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <set>
#include <string>

#include "events/event_date.h"
#include "events/temp_folder.h"
#include "study/fake_round_host.h"
#include "study/study_time.h"

namespace qev {
namespace {

using testing::FakeRoundHost;
using testing::LogAnswer;
using testing::ReadBytes;
using testing::TempFolder;

Sjis Line(int year, int importance, int level, int n, std::string_view text = "e") {
  return Sjis("AD" + std::to_string(year) + ";" + std::to_string(importance) + "," +
              std::to_string(level) + ",,;p;" + std::string(text) + std::to_string(n) + ";m;");
}

std::vector<std::uint64_t> Asked(Round& round) {
  std::vector<std::uint64_t> asked;
  for (; !round.over(); round.Next()) asked.push_back(round.current()->id.serial);
  return asked;
}

TEST(RoundTest, DueReviewsComeFirstByLowestRecallThenNewCardsByImportanceUpToTheDayLimit) {
  TempFolder folder;
  FakeRoundHost host(folder / kStudyLogName);
  // 1 and 2 are due (1 the longer overdue, though its digit says ⑤), 3 was
  // first answered today; the rest were never answered, whatever their
  // digits say.
  host.lines = {{1, Line(1001, 1, 5, 1)}, {2, Line(1002, 3, 1, 2)}, {3, Line(1003, 5, 1, 3)},
                {4, Line(1004, 2, 5, 4)}, {5, Line(1005, 5, 1, 5)}, {6, Line(1006, 4, 3, 6)},
                {7, Line(1007, 5, 2, 7)}};
  LogAnswer(folder / kStudyLogName, host.lines[1], {2026, 12, 1, 9});
  LogAnswer(folder / kStudyLogName, host.lines[2], {2026, 12, 6, 9});
  LogAnswer(folder / kStudyLogName, host.lines[3], {2026, 12, 9, 8});
  struct Case {
    int newPerDay;
    int n;
    std::vector<std::uint64_t> first;  // the round's first questions
    std::size_t count;
  };
  const Case cases[] = {
      {3, 20, {1, 2}, 4},  // two new cards left: two of the ⑤s
      {1, 20, {1, 2}, 2},  // the one of the day was 3
      {20, 1, {1}, 1},
      {20, 20, {1, 2}, 6},
  };
  for (const Case& c : cases) {
    Round test(host, testing::YearOnly());
    test.SetGoals({0.9, c.newPerDay});
    const DueCount count = test.Count();
    EXPECT_EQ(count.due, 2);
    EXPECT_EQ(count.fresh, 4);
    EXPECT_EQ(count.newLeft, c.newPerDay - 1);
    ASSERT_EQ(test.StartRound(c.n), Round::Start::kRound);
    const std::vector<std::uint64_t> asked = Asked(test);
    ASSERT_EQ(asked.size(), c.count) << c.newPerDay;
    EXPECT_TRUE(std::equal(c.first.begin(), c.first.end(), asked.begin())) << c.newPerDay;
    // New cards by importance: the ⑤s (5 and 7, in either order), then ④, ②.
    if (c.count == 6) {
      EXPECT_EQ(std::set<std::uint64_t>(asked.begin() + 2, asked.begin() + 4),
                (std::set<std::uint64_t>{5, 7}));
      EXPECT_EQ(asked[4], 6u);
      EXPECT_EQ(asked[5], 4u);
    }
  }

  // Cards of the same importance in two files come shuffled, never in
  // timeline order, and the day's limit holds across rounds.
  host.lines.clear();
  for (int i = 1; i <= 60; ++i) {
    const auto serial = static_cast<std::uint64_t>(i <= 30 ? i : 100 + i);
    host.lines[serial] = Line(1000 + i, 3, 1, i, "g");
  }
  Round first(host, testing::YearOnly());
  first.SetGoals({0.9, 25});
  ASSERT_EQ(first.StartRound(20), Round::Start::kRound);
  std::vector<std::uint64_t> asked;
  for (; !first.over(); first.Next()) {
    asked.push_back(first.current()->id.serial);
    first.Answer(TypedAnswer{"1000"});  // off: each comes back at the end
  }
  EXPECT_FALSE(std::is_sorted(asked.begin(), asked.begin() + 20));
  EXPECT_TRUE(std::any_of(asked.begin(), asked.begin() + 5, [](auto s) { return s > 100; }));
  EXPECT_TRUE(std::any_of(asked.begin(), asked.begin() + 5, [](auto s) { return s < 100; }));
  Round second(host, testing::YearOnly());
  second.SetGoals({0.9, 25});
  EXPECT_EQ(second.Count().newLeft, 5);
  ASSERT_EQ(second.StartRound(20), Round::Start::kRound);
  EXPECT_EQ(second.count(), 5u);
}

TEST(RoundTest, AnAnswerIsLoggedOnceFinalEasyRaisesItAndAMissComesBackInTheRound) {
  TempFolder folder;
  FakeRoundHost host(folder / kStudyLogName);
  host.lines = {{1, Sjis("AD0794;3,3,,;p;a;m;")},
                {2, Sjis("AD1192;5,1,,;p;b;m;")},
                {106, Sjis("X;no date;")}};
  {
    Round test(host, testing::YearOnly());
    ASSERT_EQ(test.StartRound(20), Round::Start::kRound);
    ASSERT_EQ(test.count(), 2u);
    EXPECT_EQ(host.shown, (std::vector<std::uint64_t>{2}));
    EXPECT_TRUE(host.hidden);

    EXPECT_EQ(test.Answer(TypedAnswer{"11九二"}).verdict, AnswerVerdict::kUnreadable);
    host.now.second = 12;  // the seconds taken from the question shown
    const AnswerOutcome right = test.Answer(TypedAnswer{"1192"});
    EXPECT_EQ(right.verdict, AnswerVerdict::kRight);
    EXPECT_EQ(right.dateText, Sjis("AD1192"));
    EXPECT_EQ(right.levelAfter, 2);  // stability 2.3 days
    EXPECT_FALSE(host.hidden);
    // Nothing written while "簡単" may still change the grade.
    EXPECT_EQ(ReadBytes(folder / kStudyLogName), "");
    EXPECT_EQ(host.lines[2], Sjis("AD1192;5,1,,;p;b;m;"));
    ASSERT_TRUE(test.MarkEasy());
    EXPECT_EQ(test.MarkEasy(), std::nullopt);
    ASSERT_TRUE(test.Next());
    EXPECT_EQ(host.lines[2], Sjis("AD1192;5,4,,;p;b;m;"));  // 8.3 days

    EXPECT_EQ(test.current()->id.serial, 1u);
    EXPECT_EQ(test.ShowHint(), "時代: p\nメモ1: m");
    const AnswerOutcome wrong = test.Answer(TypedAnswer{"800"});  // 6 off: beyond ±5
    EXPECT_EQ(wrong.verdict, AnswerVerdict::kWrong);
    EXPECT_EQ(wrong.levelAfter, 1);
    EXPECT_FALSE(test.easyOffered());
    ASSERT_TRUE(test.Next());
    // The miss comes back at the end of the round.
    EXPECT_EQ(test.count(), 3u);
    EXPECT_EQ(test.current()->id.serial, 1u);
    EXPECT_EQ(host.lines[1], Sjis("AD0794;3,1,,;p;a;m;"));
    EXPECT_EQ(test.Answer(TypedAnswer{"794"}).levelAfter, 1);  // the same day: still short
    test.End();

    const RoundSummary summary = test.summary();
    EXPECT_EQ(summary.questions, 3);
    EXPECT_EQ(summary.right, 2);
    EXPECT_EQ(summary.wrong, 1);
    EXPECT_EQ(summary.levelsUp, 1);
    EXPECT_EQ(summary.levelsDown, 1);
    EXPECT_EQ(test.changedSlots(), (std::vector<int>{0}));
    ASSERT_EQ(test.misses().size(), 1u);
    EXPECT_EQ(test.misses()[0].dateText, Sjis("AD 794"));

    ASSERT_EQ(test.RetryMisses(), Round::Start::kRound);
    EXPECT_EQ(test.count(), 1u);
    EXPECT_EQ(test.current()->id.serial, 1u);
    host.now.second = 20;
    test.GiveUp();
    // The round's end, as the program's, writes the answer still open.
  }
  EXPECT_EQ(ReadBytes(folder / kStudyLogName),
            "日時,ファイル,年代,できごと,解答,正誤,記憶度(前),記憶度(後),出題形式,評価,ヒント,秒数,"
            "取り違え\n"
            "2026-12-09T09:00:12,f,AD1192,b,1192,正解,1,4,年,4,0,12,\n"
            "2026-12-09T09:00:12,f,AD0794,a,800,不正解,3,1,年,1,1,0,\n"
            "2026-12-09T09:00:12,f,AD0794,a,794,正解,1,1,年,3,0,0,\n"
            "2026-12-09T09:00:20,f,AD0794,a,,不正解,1,1,年,1,0,8,\n");

  // A fresh read of the log: nothing is due today, nothing is new.
  Round again(host, testing::YearOnly());
  EXPECT_EQ(again.StartRound(20), Round::Start::kNothingDue);
}

TEST(RoundTest, NothingDueSaysWhenOffersTheLowestRecallAndTheRecordCountsIt) {
  TempFolder folder;
  FakeRoundHost host(folder / kStudyLogName);
  host.lines = {{1, Sjis("AD0794;1,3,,;p;a;m;")}, {2, Sjis("AD1192;1,4,,;p;b;m;")}};
  LogAnswer(folder / kStudyLogName, host.lines[1], {2026, 12, 9, 8});
  LogAnswer(folder / kStudyLogName, host.lines[2], {2026, 12, 8, 20});
  Round test(host, testing::YearOnly());
  const StudyRecord record = test.Statistics();
  EXPECT_EQ(record.files[0].levels, (std::array<int, 5>{0, 0, 1, 1, 0}));
  EXPECT_EQ(record.due.today, 0);
  EXPECT_EQ(record.due.nextWeek, 2);
  ASSERT_EQ(record.days.size(), 30u);
  EXPECT_EQ(record.days[28].right, 1);
  EXPECT_EQ(record.days[29].right, 1);
  EXPECT_EQ(record.days[29].day, DayNumber(2026, 12, 9));

  // An event never answered is new: no review due, today or later.
  FakeRoundHost more(folder / kStudyLogName);
  more.lines = host.lines;
  more.lines[3] = Sjis("AD1600;1,1,,;p;c;m;");
  const StudyRecord withNew = Round(more, testing::YearOnly()).Statistics();
  EXPECT_EQ(withNew.events, 3);
  EXPECT_EQ(withNew.due.today, 0);
  EXPECT_EQ(withNew.due.nextWeek, 2);
  EXPECT_EQ(std::accumulate(withNew.duePerDay.begin(), withNew.duePerDay.end(), 0), 2);
  // The next day with a card to ask: today while new cards may come,
  // tomorrow once the day's are used up, else the first review's day.
  for (const auto& [newPerDay, next] :
       {std::pair{20, DayNumber(2026, 12, 9)}, {0, DayNumber(2026, 12, 10)}}) {
    Round withNewCard(more, testing::YearOnly());
    StudyGoals goals = withNewCard.goals();
    goals.newPerDay = newPerDay;
    withNewCard.SetGoals(goals);
    EXPECT_EQ(withNewCard.NextDueDay(), next) << newPerDay;
  }

  // Good once: stability 2.3 days, due two days on.
  EXPECT_EQ(test.StartRound(20), Round::Start::kNothingDue);
  EXPECT_EQ(test.NextDueDay(), DayNumber(2026, 12, 10));
  ASSERT_EQ(test.StartAnyway(1), Round::Start::kRound);
  EXPECT_EQ(test.count(), 1u);
  EXPECT_EQ(test.current()->id.serial, 2u);  // the older answer, the lower recall
  test.End();                                // early: nothing of the open question is shown
  EXPECT_TRUE(host.left);
  EXPECT_TRUE(host.hidden);
  EXPECT_EQ(test.summary().questions, 0);
}

// What a round kept from the last (the cards' rows) plans as a round made
// afresh from the log and the lines would, whatever changed between them.
TEST(RoundTest, AKeptRoundPlansAsAFreshOneAfterAnswersEditsAndSettings) {
  TempFolder folder;
  FakeRoundHost host(folder / kStudyLogName);
  for (int i = 1; i <= 40; ++i) {
    host.lines[static_cast<std::uint64_t>(i)] = Line(1000 + 7 * i, 1 + i % 5, 1, i);
  }
  Round kept(host);
  kept.SetGoals({0.9, 12});
  // The kinds and events each round asks, and its counts.
  const auto plan = [&host](Round& round) {
    const DueCount count = round.Count();
    std::vector<std::string> asked{std::to_string(count.due) + "/" + std::to_string(count.fresh) +
                                   "/" + std::to_string(count.newLeft)};
    if (round.StartRound(30) != Round::Start::kRound) return asked;
    for (; !round.over(); round.Next()) {
      asked.push_back(std::to_string(round.current()->id.serial) +
                      std::string(round.kind()->name()));
    }
    host.shown.clear();
    return asked;
  };
  // Answers the round's year questions, every third wrong.
  const auto answer = [](Round& round) {
    round.StartRound(30);
    for (int n = 0; !round.over(); ++n) {
      if (round.kind()->name() == kYearKindName) {
        const int year = FirstDate(round.current()->line)->year;
        round.Answer(TypedAnswer{std::to_string(n % 3 == 0 ? year + 40 : year)});
      }
      round.Next();
    }
  };
  struct Step {
    const char* name;
    std::function<void()> change;
  };
  const Step steps[] = {
      {"nothing", [] {}},
      {"answers", [&] { answer(kept); }},
      {"the next day's answers",
       [&] {
         host.now.day = 10;
         answer(kept);
       }},
      {"an event text edited", [&] { host.lines[3] = Line(1021, 2, 1, 3, "edited"); }},
      {"an importance changed", [&] { host.lines[5][7] = '5'; }},
      {"an event added", [&] { host.lines[41] = Line(1290, 5, 1, 41); }},
      {"an event taken out", [&] { host.lines.erase(8); }},
      {"the retention",
       [&] {
         kept.SetGoals({0.8, 12});
       }},
      {"a week on", [&] { host.now.day = 17; }},
      {"new parameters",
       [&] {
         MemoryParameters w = kDefaultMemoryParameters;
         w[0] *= 2;
         kept.SetParameters(w);
       }},
  };
  for (const Step& step : steps) {
    step.change();
    Round fresh(host);
    fresh.SetGoals(kept.goals());
    fresh.SetParameters(kept.parameters());
    const std::vector<std::string> planned = plan(kept);
    EXPECT_EQ(planned, plan(fresh)) << step.name;
  }
}

// A wrong year that is another loaded event's says whose it is, and the
// log keeps the confusion, which the next round's order questions read.
TEST(RoundTest, AWrongYearOfAnotherEventIsNamedAndLoggedAsAConfusion) {
  TempFolder folder;
  FakeRoundHost host(folder / kStudyLogName);
  host.lines = {{1, Sjis("AD1185;1,1,,;p;heike;m;")}, {2, Sjis("AD1192;1,1,,;p;yoritomo;m;")}};
  const struct {
    std::uint64_t serial;
    const char* year;
    const char* text;
  } events[] = {{1, "1185", "heike"}, {2, "1192", "yoritomo"}};
  for (const char* other : {"year of the other", "1300"}) {
    Round test(host, testing::YearOnly());
    ASSERT_EQ(test.StartRound(1), Round::Start::kRound);
    const bool first = test.current()->id.serial == 1;
    const auto& them = events[first ? 1 : 0];
    const bool confused = std::string(other) != "1300";
    const std::string typed = confused ? them.year : other;
    EXPECT_EQ(test.Answer(TypedAnswer{typed}).confusion,
              confused ? typed + " は『" + them.text + "』の年です" : "");
    test.End();
    const ReviewHistory history = ReviewHistory::Read(folder / kStudyLogName);
    const EventKey asked = KeyOfEvent("f", host.lines[first ? 1 : 2]);
    const EventKey taken = KeyOfEvent("f", host.lines[them.serial]);
    // Either way round, and once however often.
    EXPECT_EQ(history.ConfusedWith(asked), (std::vector<EventKey>{taken}));
    EXPECT_EQ(history.ConfusedWith(taken), (std::vector<EventKey>{asked}));
  }
}

}  // namespace
}  // namespace qev
