#include "study/year_question.h"

#include <gtest/gtest.h>

#include "text/cp932.h"

namespace qev {
namespace {

TEST(YearQuestionTest, AsksDatedEventsAloneAndGradesRightGoodRightAfterTheHintHardWrongAgain) {
  const YearQuestion year;
  EXPECT_EQ(year.name(), "年");
  EXPECT_TRUE(year.Asks("AD0794;1,1,,;p;heian;"));
  EXPECT_FALSE(year.Asks("X;no date;"));
  const Question question{{StudyEvent{{0, 1}, Sjis("f"), Sjis("AD0794;1,1,,;p;heian;")}}};
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
      {LinePlace{10, 10}, false, std::nullopt},
  };
  EXPECT_EQ(year.Hint(question), "時代: p\nメモ1: ");
  const Question approximate{
      {StudyEvent{{0, 2}, Sjis("f"), EncodeCp932("BC0005;1,5,,;*古代;*c;m1;").bytes}}};
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

}  // namespace
}  // namespace qev
