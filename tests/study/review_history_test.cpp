#include "study/review_history.h"

#include <gtest/gtest.h>

#include "events/temp_folder.h"
#include "study/fake_round_host.h"
#include "study/round.h"
#include "study/study_log.h"
#include "study/study_time.h"

namespace qev {
namespace {

using testing::FakeRoundHost;
using testing::ReadBytes;
using testing::TempFolder;

CardKey YearCard(std::string_view line) {
  return KeyOfCard(KeyOfEvent("f", line), kYearKindName);
}

// A log of the eight first columns, then one line of today's: the old lines
// are answers to typed years, good when right and again when wrong, without
// a hint or a time; the card's answers come in time order.
TEST(ReviewHistoryTest, AnOldLogReadsAsTypedYearsGradedFromRightOrWrong) {
  const std::string line = "AD0794;1,2,,;p;heian;m;";
  const std::string log =
      "日時,ファイル,年代,できごと,解答,正誤,記憶度(前),記憶度(後)\n"
      "2026-12-03T10:00:00,f,AD0794,heian,794,正解,1,2\n"
      "2026-12-01T10:00:00,f,AD0794,heian,795,不正解,2,1\n"
      "2026-12-05T08:00:00,f,AD0794,heian,794,正解,2,3,年,2,1,9\n";
  const ReviewHistory history = ReviewHistory::Parse(log);
  EXPECT_EQ(history.skippedLines(), 0u);
  EXPECT_EQ(history.cards(), 1u);
  const std::vector<Review> reviews = history.Of(YearCard(line));
  ASSERT_EQ(reviews.size(), 3u);
  struct Expected {
    LocalTime time;
    Grade grade;
    bool right;
    bool hint;
    std::optional<int> seconds;
  } expected[] = {
      {{2026, 12, 1, 10}, Grade::kAgain, false, false, std::nullopt},
      {{2026, 12, 3, 10}, Grade::kGood, true, false, std::nullopt},
      {{2026, 12, 5, 8}, Grade::kHard, true, true, 9},
  };
  for (std::size_t i = 0; i < reviews.size(); ++i) {
    EXPECT_EQ(reviews[i].moment, Moment(expected[i].time)) << i;
    EXPECT_EQ(reviews[i].grade, expected[i].grade) << i;
    EXPECT_EQ(reviews[i].right, expected[i].right) << i;
    EXPECT_EQ(reviews[i].hint, expected[i].hint) << i;
    EXPECT_EQ(reviews[i].seconds, expected[i].seconds) << i;
  }
  EXPECT_EQ(history.LastAnswered(YearCard(line)), Moment({2026, 12, 5, 8}));
  // The same event asked another way is another card.
  EXPECT_FALSE(history.LastAnswered(KeyOfCard(KeyOfEvent("f", line), "位置")));
}

// An edited event text is a new event: its card starts afresh in the
// history and in the round, while a changed level keeps it.
TEST(ReviewHistoryTest, ACardStartsAfreshWhenItsEventTextIsEdited) {
  TempFolder folder;
  FakeRoundHost host(folder / kStudyLogName);
  host.lines = {{1, Sjis("AD0794;1,2,,;p;heian;m;")}};
  {
    Round round(host, testing::YearOnly());
    ASSERT_EQ(round.StartRound(20), Round::Start::kRound);
    round.Answer(TypedAnswer{"794"});
  }
  const std::string answered = ReadBytes(folder / kStudyLogName);
  const ReviewHistory history = ReviewHistory::Read(folder / kStudyLogName);
  EXPECT_EQ(history.Of(YearCard("AD0794;1,3,,;p;heian;m;")).size(), 1u);
  EXPECT_TRUE(history.Of(YearCard("AD0794;1,3,,;p;heian-kyo;m;")).empty());

  host.lines[1] = Sjis("AD0794;1,3,,;p;heian-kyo;m;");
  Round round(host, testing::YearOnly());
  EXPECT_EQ(round.StartRound(20), Round::Start::kRound);  // due again: never answered
  round.Answer(TypedAnswer{"794"});
  round.End();
  EXPECT_EQ(ReadBytes(folder / kStudyLogName),
            answered + "2026-12-09T09:00:00,f,AD0794,heian-kyo,794,正解,3,2,年,3,0,0,\n");
}

}  // namespace
}  // namespace qev
