#include "study/year_question.h"

#include <gtest/gtest.h>

#include "study/place_question.h"
#include "text/cp932.h"

namespace qev {
namespace {

TEST(YearQuestionTest, AsksDatedEventsAloneAndGradesRightGoodRightAfterTheHintHardWrongAgain) {
  const YearQuestion year;
  EXPECT_EQ(year.name(), "年");
  EXPECT_TRUE(year.Asks("AD0794;1,1,,;p;heian;"));
  EXPECT_FALSE(year.Asks("X;no date;"));
  const Question question{{StudyEvent{{0, 1}, Sjis("f"), Sjis("AD0794;1,1,,;p;heian;")}}, {}};
  struct Case {
    KindAnswer answer;
    bool hint;
    std::optional<Grade> grade;  // nothing: the question stays open
  } cases[] = {
      {TypedAnswer{"794"}, false, Grade::kGood},
      {TypedAnswer{"794"}, true, Grade::kHard},
      {TypedAnswer{"０７９４"}, false, Grade::kGood},
      {TypedAnswer{"西暦794年"}, false, Grade::kGood},
      {TypedAnswer{"797"}, false, Grade::kHard},
      {TypedAnswer{"BC794"}, false, Grade::kAgain},
      {TypedAnswer{"800"}, false, Grade::kAgain},
      {TypedAnswer{"800"}, true, Grade::kAgain},
      {TypedAnswer{""}, false, std::nullopt},
      {TypedAnswer{"heian"}, false, std::nullopt},
      {LinePlace{10, 10, {}, 1}, false, std::nullopt},
  };
  EXPECT_EQ(year.Hint(question), "時代: p\nメモ1: ");
  const Question approximate{
      {StudyEvent{{0, 2}, Sjis("f"), EncodeCp932("BC0005;1,5,,;*古代;*c;m1;").bytes}}, {}};
  EXPECT_EQ(year.Hint(approximate), "時代: 古代\nメモ1: m1");
  EXPECT_EQ(year.Prompt(question), "heian");
  EXPECT_EQ(year.Prompt(approximate), "c");
  for (const Case& c : cases) {
    const std::optional<Graded> graded = year.Judge(question, c.answer, c.hint);
    ASSERT_EQ(graded.has_value(), c.grade.has_value());
    if (!graded) continue;
    EXPECT_EQ(graded->grade, *c.grade);
    EXPECT_EQ(graded->logged, std::get<TypedAnswer>(c.answer).text);
  }
}

// The hint never gives the year away: memo 1 is left out when a digit
// string of either year stands in it, whatever its width or zeros.
TEST(YearQuestionTest, TheHintLeavesOutAMemoHoldingTheEventsYear) {
  const struct {
    const char* memo;
    bool shown;
  } cases[] = {{"遷都した", true}, {"794年", false}, {"０７９４年に", false},
               {"約800年", true},  {"1794年", true}, {"終わりは８１０", false},
               {"第7代", true}};
  for (const auto& c : cases) {
    const Sjis line = EncodeCp932(std::string("AD0794;1,1,AD0810,;平安;e;") + c.memo + ";").bytes;
    const std::string hint = EventHint(line);
    EXPECT_EQ(hint, c.shown ? "時代: 平安\nメモ1: " + std::string(c.memo) : "時代: 平安") << c.memo;
  }
}

// A click on the line is graded as its year typed would be, the tolerance
// widened by what one pixel spans there.
TEST(YearQuestionTest, AClickIsGradedByItsYearWithinThePixelsYears) {
  const PlaceQuestion place;
  const Question question{{StudyEvent{{0, 1}, Sjis("f"), Sjis("AD1192;1,1,,;p;kamakura;")}}, {}};
  const struct {
    EraYear year;
    int perPixel;
    Grade grade;
    const char* logged;
  } cases[] = {{{false, 1192}, 1, Grade::kGood, "AD1192 (0年差)"},
               {{false, 1197}, 1, Grade::kHard, "AD1197 (5年差)"},
               {{false, 1199}, 1, Grade::kAgain, "AD1199 (7年差)"},
               {{false, 1199}, 3, Grade::kHard, "AD1199 (7年差)"},
               {{true, 1192}, 40, Grade::kAgain, "BC1192 (2383年差)"}};
  for (const auto& c : cases) {
    const LinePlace click{100, 50, c.year, c.perPixel};
    const std::optional<Graded> graded = place.Judge(question, click, false);
    ASSERT_TRUE(graded);
    EXPECT_EQ(graded->grade, c.grade) << c.logged;
    EXPECT_EQ(graded->logged, c.logged);
    const std::vector<QuestionMarks::Label> marks = place.Marks(question, click);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(DecodeCp932(marks[0].text), "正 AD1192");
    EXPECT_EQ(DecodeCp932(marks[1].text), std::string("クリック ") + c.logged);
  }
  EXPECT_FALSE(place.Judge(question, TypedAnswer{"1192"}, false));
}

}  // namespace
}  // namespace qev
