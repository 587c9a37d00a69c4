#include "study/year_question.h"

#include <gtest/gtest.h>

#include "text/cp932.h"

namespace qev {
namespace {

constexpr AnswerVerdict kRight = AnswerVerdict::kRight;
constexpr AnswerVerdict kWrong = AnswerVerdict::kWrong;
constexpr AnswerVerdict kUnreadable = AnswerVerdict::kUnreadable;

TEST(YearQuestionTest, ExactYearsInEveryTypedFormAndApproximateOnesWithinTenYears) {
  const std::string exactAd = "AD0794;1,1,,;p;heian;m1;m2;";
  const std::string exactBc = "BC0091;1,1,,;p;event;m1;m2;";
  const std::string approxBc = "BC0005;1,1,,;p;*event;m1;m2;";
  struct Case {
    const std::string* line;
    const char* typed;
    AnswerVerdict verdict;
  } cases[] = {
      {&exactAd, "794", kRight},   {&exactAd, "０７９４", kRight}, {&exactAd, "794年", kRight},
      {&exactAd, "AD794", kRight}, {&exactAd, "795", kWrong},      {&exactAd, "BC794", kWrong},
      {&exactBc, "BC91", kRight},  {&exactBc, "前91", kRight},     {&exactBc, "紀元前91年", kRight},
      {&exactBc, "91", kWrong},    {&exactAd, "", kUnreadable},    {&exactAd, "heian", kUnreadable},
      {&approxBc, "BC15", kRight}, {&approxBc, "BC16", kWrong},    {&approxBc, "AD5", kRight},
      {&approxBc, "AD6", kRight},  {&approxBc, "AD7", kWrong},     {&approxBc, "前1", kRight},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckAnswer(*c.line, c.typed), c.verdict) << *c.line << " / " << c.typed;
  }
}

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
      {TypedAnswer{"794"}, false, Grade::kGood},   {TypedAnswer{"794"}, true, Grade::kHard},
      {TypedAnswer{"795"}, false, Grade::kAgain},  {TypedAnswer{"795"}, true, Grade::kAgain},
      {TypedAnswer{"heian"}, false, std::nullopt}, {LinePlace{10, 10}, false, std::nullopt},
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

TEST(YearQuestionTest, YearsApartSkipTheMissingYearZero) {
  EXPECT_EQ(YearsApart({true, 1}, {false, 1}), 1);
  EXPECT_EQ(YearsApart({true, 5}, {false, 5}), 9);
  EXPECT_EQ(YearsApart({false, 794}, {false, 784}), 10);
}

}  // namespace
}  // namespace qev
