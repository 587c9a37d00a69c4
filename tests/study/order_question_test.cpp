#include "study/order_question.h"

#include <gtest/gtest.h>

#include <set>

#include "events/temp_folder.h"
#include "study/event_key.h"
#include "study/fake_round_host.h"
#include "study/year_grade.h"

namespace qev {
namespace {

using testing::FakeRoundHost;
using testing::TempFolder;

// The host's pool with confusions of its own.
class ConfusedPool final : public FakeRoundHost {
 public:
  using FakeRoundHost::FakeRoundHost;
  std::vector<std::uint64_t> confused;
  std::vector<std::uint64_t> ConfusedWith(std::uint64_t /*event*/) override { return confused; }
};

Sjis LineOf(int year, const std::string& text) {
  const bool bc = year < 0;
  std::string digits = std::to_string(bc ? -year : year);
  digits.insert(0, 4 - std::min<std::size_t>(4, digits.size()), '0');
  return Sjis((bc ? "BC" : "AD") + digits + ";1,1,,;p;" + text + ";m;");
}

StudyEvent Asked(FakeRoundHost& host, std::uint64_t serial) {
  return {FakeRoundHost::Id(serial), Sjis("f"), host.lines.at(serial)};
}

TEST(OrderQuestionTest, TheCompanionsAreCloseApartByTheirEraAndConfusedOnesFirst) {
  TempFolder folder;
  ConfusedPool pool(folder / "log.csv");
  // Serials in timeline order: every year a few events, modern and ancient.
  std::uint64_t serial = 1;
  for (int year = -900; year <= -500; year += 4) {
    pool.lines[serial++] = LineOf(year, "古" + std::to_string(year));
  }
  for (int year = 1850; year <= 1950; ++year) {
    pool.lines[serial++] = LineOf(year, "近" + std::to_string(year));
  }
  pool.lines[serial++] = LineOf(1960, "same");
  pool.lines[serial++] = LineOf(1960, "same again");
  const OrderQuestion order;
  struct Case {
    int year;
    int least;  // apart from each other at least
    int most;   // from the asked one at most (twice the gap, reached only when needed)
  } cases[] = {{1900, 2, 30}, {-700, 20, 675}, {1960, 2, 30}};
  for (const Case& c : cases) {
    std::uint64_t asked = 0;
    for (const auto& [s, line] : pool.lines) {
      if (FirstDate(line)->Signed() == c.year) asked = s;
    }
    const OrderGap gap = GapAt(*FirstDate(pool.lines[asked]));
    EXPECT_EQ(gap.least, c.least) << c.year;
    EXPECT_EQ(gap.most, c.most) << c.year;
    for (int run = 0; run < 20; ++run) {
      const Question q = order.Make(Asked(pool, asked), pool);
      ASSERT_EQ(q.events.size(), 3u) << c.year;
      EXPECT_EQ(q.events.front().id, FakeRoundHost::Id(asked));
      EXPECT_EQ(std::set<std::size_t>(q.order.begin(), q.order.end()),
                (std::set<std::size_t>{0, 1, 2}));
      for (std::size_t i = 0; i < 3; ++i) {
        const EraYear a = *FirstDate(q.events[i].line);
        if (i > 0) {
          EXPECT_LE(YearsApart(a, *FirstDate(q.events[0].line)), c.most) << c.year;
        }
        for (std::size_t j = i + 1; j < 3; ++j) {
          EXPECT_GE(YearsApart(a, *FirstDate(q.events[j].line)), c.least) << c.year;
        }
      }
    }
  }

  // A confused event is asked with it whenever it is far enough apart.
  const std::uint64_t asked = 102 + 50;  // AD1900
  ASSERT_EQ(FirstDate(pool.lines[asked])->year, 1900);
  const std::uint64_t taken = asked + 20;  // AD1920
  pool.confused = {KeyOfEvent("f", pool.lines[asked + 1]), KeyOfEvent("f", pool.lines[taken])};
  for (int run = 0; run < 10; ++run) {
    const Question q = order.Make(Asked(pool, asked), pool);
    ASSERT_EQ(q.events.size(), 3u);
    // AD1901 is too close to be told apart; AD1920 is taken every time.
    EXPECT_TRUE(q.events[1].id.serial == taken || q.events[2].id.serial == taken);
    EXPECT_NE(q.events[1].id.serial, asked + 1);
    EXPECT_NE(q.events[2].id.serial, asked + 1);
  }

  // Only the pool's events (those on the line under the filters) are
  // asked: with no two of them apart enough there is no question.
  FakeRoundHost lonely(folder / "log.csv");
  lonely.lines = {{1, LineOf(1900, "a")}, {2, LineOf(1901, "b")}, {3, LineOf(1900, "c")}};
  EXPECT_TRUE(order.Make(Asked(lonely, 1), lonely).events.empty());
}

TEST(OrderQuestionTest, TheSixOrdersAreTheExamsAndOnlyTheEarliestFirstIsRight) {
  const std::string texts[] = {"① I→II→III", "② I→III→II", "③ II→I→III",
                               "④ II→III→I", "⑤ III→I→II", "⑥ III→II→I"};
  for (std::size_t k = 0; k < 6; ++k) EXPECT_EQ(ExamOrderText(k), texts[k]);
  const OrderQuestion order;
  // Shown as I = 1192, II = 794, III = 1603: ④ II→I→III... is ③.
  Question q{{{{0, 1}, Sjis("f"), LineOf(1192, "kamakura")},
              {{0, 2}, Sjis("f"), LineOf(794, "heian")},
              {{0, 3}, Sjis("f"), LineOf(1603, "edo")}},
             {0, 1, 2}};
  EXPECT_EQ(order.Prompt(q), "I 『kamakura』\nII 『heian』\nIII 『edo』");
  for (std::size_t k = 0; k < 6; ++k) {
    for (const bool hint : {false, true}) {
      const std::optional<Graded> graded = order.Judge(q, OrderQuestion::Choice(q, k), hint);
      ASSERT_TRUE(graded);
      EXPECT_EQ(graded->verdict, k == 2 ? AnswerVerdict::kRight : AnswerVerdict::kWrong) << k;
      EXPECT_EQ(graded->grade, k != 2 ? Grade::kAgain : hint ? Grade::kHard : Grade::kGood);
      EXPECT_EQ(graded->logged, texts[k]);
    }
  }
  EXPECT_FALSE(order.Judge(q, TypedAnswer{"3"}, false));
  EXPECT_FALSE(order.Judge(q, EventOrder{{{0, 1}, {0, 2}}}, false));
  // After the answer the line marks them earliest first, with their dates.
  const std::vector<QuestionMarks::Label> marks = order.Marks(q, KindAnswer{});
  ASSERT_EQ(marks.size(), 3u);
  EXPECT_EQ(DecodeCp932(marks[0].text), "II AD 794");
  EXPECT_EQ(DecodeCp932(marks[1].text), "I AD1192");
  EXPECT_EQ(DecodeCp932(marks[2].text), "III AD1603");
}

}  // namespace
}  // namespace qev
