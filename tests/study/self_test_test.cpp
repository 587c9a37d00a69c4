#include "study/self_test.h"

#include <gtest/gtest.h>

#include <map>

#include "events/event_line.h"
#include "events/temp_folder.h"
#include "study/event_key.h"
#include "study/study_time.h"
#include "text/byte_fields.h"

namespace qev {
namespace {

using testing::ReadBytes;
using testing::TempFolder;

// The main screen as a map of lines by id, recording what it was asked.
class FakeHost : public SelfTestHost {
 public:
  explicit FakeHost(std::filesystem::path log) : log_(std::move(log)) {}
  std::map<std::uint64_t, Sjis> lines;  // by serial; slot = serial / 100
  std::vector<TimelinePoint> points;
  std::vector<std::uint64_t> shown;
  bool hidden = false;
  LocalTime now{2026, 12, 9, 9, 0, 0};

  const std::vector<TimelinePoint>& PoolPoints() override {
    points.clear();
    for (const auto& [serial, line] : lines) {
      TimelinePoint p;
      p.slot = Id(serial).slot;
      p.serial = serial;
      p.memorisation = ByteAt(line, kMemorisationPos);
      points.push_back(p);
    }
    return points;
  }
  std::vector<std::optional<PoolLine>> LinesOf(
      std::span<const TimelinePoint* const> asked) override {
    std::vector<std::optional<PoolLine>> found;
    for (const TimelinePoint* point : asked) {
      found.push_back(PoolLine{"f", lines.at(point->serial)});
    }
    return found;
  }
  static EventId Id(std::uint64_t serial) { return {static_cast<int>(serial / 100), serial}; }
  std::optional<Sjis> EventLine(EventId id) override { return lines.at(id.serial); }
  void ShowQuestion(EventId id) override {
    shown.push_back(id.serial);
    hidden = true;
  }
  void RevealAnswer() override { hidden = false; }
  bool SetMemorisationLevel(EventId id, int level) override {
    lines.at(id.serial)[9] = static_cast<char>('0' + level);
    return true;
  }
  std::vector<StudySlot> LoadedSlots() override { return {StudySlot{Sjis("f"), 0}}; }
  LocalTime Now() override { return now; }
  std::filesystem::path StudyLogPath() override { return log_; }

 private:
  std::filesystem::path log_;
};

// A right answer to the event of `line` in file "f", logged at `time`.
void LogAnswer(const std::filesystem::path& log, std::string_view line, const LocalTime& time) {
  const StudyLogEntry entry{
      time, "f", std::string(EventDateField(line)), std::string(EventTextField(line)), "1", true,
      2,    3};
  ASSERT_FALSE(AppendStudyLog(log, entry));
}

TEST(SelfTestTest, ARoundOfNTakesTheLowestLevelsThenTheLongestUnansweredThenTimelineOrder) {
  TempFolder folder;
  FakeHost host(folder / kStudyLogName);
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
    SelfTest test(host);
    ASSERT_EQ(test.StartRound(n), SelfTest::Start::kRound);
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
  SelfTest test(host);
  ASSERT_EQ(test.StartRound(3), SelfTest::Start::kRound);
  EXPECT_EQ(test.current()->id.serial, 501u);
}

TEST(SelfTestTest, ARoundAsksDueEventsChangesTheirLevelsAndLogsEachAnswer) {
  TempFolder folder;
  FakeHost host(folder / kStudyLogName);
  host.lines = {{1, Sjis("AD0794;1,3,,;p;a;m;")},
                {2, Sjis("AD1192;1,1,,;p;b;m;")},
                {105, Sjis("BC0005;1,5,,;p;*c;m;")},
                {106, Sjis("X;no date;")}};
  SelfTest test(host);
  ASSERT_EQ(test.StartRound(20), SelfTest::Start::kRound);
  ASSERT_EQ(test.count(), 3u);
  EXPECT_EQ(host.shown, (std::vector<std::uint64_t>{2}));
  EXPECT_TRUE(host.hidden);

  EXPECT_EQ(test.Answer("11九二").verdict, AnswerVerdict::kUnreadable);
  const AnswerOutcome right = test.Answer("1192");
  EXPECT_EQ(right.verdict, AnswerVerdict::kRight);
  EXPECT_EQ(right.dateText, Sjis("AD1192"));
  EXPECT_FALSE(host.hidden);
  EXPECT_EQ(host.lines[2], Sjis("AD1192;1,2,,;p;b;m;"));
  ASSERT_TRUE(test.Next());

  EXPECT_EQ(test.current()->id.serial, 1u);
  EXPECT_EQ(test.Answer("795").verdict, AnswerVerdict::kWrong);
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

  const std::string log = ReadBytes(folder / kStudyLogName);
  EXPECT_NE(log.find("\n2026-12-09T09:00:00,f,AD1192,b,1192,正解,1,2\n"), std::string::npos);
  EXPECT_NE(log.find("\n2026-12-09T09:00:00,f,BC0005,*c,,不正解,5,1\n"), std::string::npos);

  // Answered today: the level-2 event waits a day; the level-1 ones are due
  // again, in the same order from a fresh read of the log.
  SelfTest again(host);
  ASSERT_EQ(again.StartRound(20), SelfTest::Start::kRound);
  EXPECT_EQ(again.count(), 2u);
  EXPECT_EQ(again.current()->id.serial, 1u);
}

TEST(SelfTestTest, NothingDueSaysWhenOffersTheLowestLevelsAndTheRecordCountsIt) {
  TempFolder folder;
  FakeHost host(folder / kStudyLogName);
  host.lines = {{1, Sjis("AD0794;1,3,,;p;a;m;")}, {2, Sjis("AD1192;1,4,,;p;b;m;")}};
  for (auto& [id, line] : host.lines) LogAnswer(folder / kStudyLogName, line, {2026, 12, 8, 20});
  SelfTest test(host);
  const StudyRecord record = test.Statistics();
  EXPECT_EQ(record.files[0].levels, (std::array<int, 5>{0, 0, 1, 1, 0}));
  EXPECT_EQ(record.due.today, 0);
  EXPECT_EQ(record.due.nextWeek, 2);
  ASSERT_EQ(record.days.size(), 30u);
  EXPECT_EQ(record.days[28].right, 2);
  EXPECT_EQ(record.days[29].day, DayNumber(2026, 12, 9));

  EXPECT_EQ(test.StartRound(20), SelfTest::Start::kNothingDue);
  EXPECT_EQ(test.NextDueDay(), DayNumber(2026, 12, 11));
  ASSERT_EQ(test.StartLowestLevelRound(1), SelfTest::Start::kRound);
  EXPECT_EQ(test.count(), 1u);
  EXPECT_EQ(test.current()->id.serial, 1u);
  test.End();
  EXPECT_FALSE(host.hidden);
  EXPECT_EQ(test.summary().questions, 0);
}

}  // namespace
}  // namespace qev
