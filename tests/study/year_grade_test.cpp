#include "study/year_grade.h"

#include <gtest/gtest.h>

#include <string>

#include "text/cp932.h"

namespace qev {
namespace {

TEST(YearGradeTest, ExactOrInsideTheSpanIsGoodWithinTheEraToleranceHardBeyondAgain) {
  struct Case {
    const char* line;
    EraYear answered;
    bool hint;
    int extra;
    Grade grade;
  } cases[] = {
      // After 1500: one year either way.
      {"AD1600;1,1,,;p;e;", {false, 1600}, false, 0, Grade::kGood},
      {"AD1600;1,1,,;p;e;", {false, 1600}, true, 0, Grade::kHard},
      {"AD1600;1,1,,;p;e;", {false, 1601}, false, 0, Grade::kHard},
      {"AD1600;1,1,,;p;e;", {false, 1602}, false, 0, Grade::kAgain},
      {"AD1600;1,1,,;p;e;", {false, 1602}, false, 1, Grade::kHard},
      // 500 to 1499: five years.
      {"AD0794;1,1,,;p;e;", {false, 799}, false, 0, Grade::kHard},
      {"AD0794;1,1,,;p;e;", {false, 800}, false, 0, Grade::kAgain},
      // Before 500, and across the eras without a year 0.
      {"AD0005;1,1,,;p;e;", {true, 6}, false, 0, Grade::kHard},
      {"AD0005;1,1,,;p;e;", {true, 7}, false, 0, Grade::kAgain},
      {"BC0091;1,1,,;p;e;", {false, 91}, false, 0, Grade::kAgain},
      // An approximate date takes ten years wherever it lies.
      {"AD1800;1,1,,;p;*e;", {false, 1810}, false, 0, Grade::kHard},
      {"AD1800;1,1,,;p;*e;", {false, 1811}, false, 0, Grade::kAgain},
      // A span: every year in it is exact; off its ends counts from the end.
      {"AD1914;1,1,AD1918,;p;e;", {false, 1916}, false, 0, Grade::kGood},
      {"AD1914;1,1,AD1918,;p;e;", {false, 1918}, false, 0, Grade::kGood},
      {"AD1914;1,1,AD1918,;p;e;", {false, 1919}, false, 0, Grade::kHard},
      {"AD1914;1,1,AD1918,;p;e;", {false, 1913}, false, 0, Grade::kHard},
      {"AD1914;1,1,AD1918,;p;e;", {false, 1920}, false, 0, Grade::kAgain},
      // A second date before the first is no span.
      {"AD1918;1,1,AD1914,;p;e;", {false, 1916}, false, 0, Grade::kAgain},
      // No date: nothing is right.
      {"X;1,1,,;p;e;", {false, 1}, false, 0, Grade::kAgain},
  };
  for (const Case& c : cases) {
    const std::string line = c.line;
    EXPECT_EQ(GradeYear(ParseEvent(line), c.answered, c.hint, c.extra), c.grade)
        << c.line << " / " << c.answered.Signed() << (c.hint ? " with hint" : "");
  }
  EXPECT_EQ(YearsApart({true, 1}, {false, 1}), 1);
  EXPECT_EQ(YearsApart({true, 5}, {false, 5}), 9);
}

}  // namespace
}  // namespace qev
