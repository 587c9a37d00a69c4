#include "events/event_date.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "text/cp932.h"

namespace qev {
namespace {

TEST(EventDate, TypedYearsInEveryForm) {
  const struct {
    std::string typed;
    std::optional<EraYear> year;
  } cases[] = {
      {"794", EraYear{false, 794}},
      {"０７９４", EraYear{false, 794}},
      {"794年", EraYear{false, 794}},
      {"AD794", EraYear{false, 794}},
      {"ａｄ ７９４", EraYear{false, 794}},
      {"西暦794年", EraYear{false, 794}},
      {"BC91", EraYear{true, 91}},
      {"bc 91", EraYear{true, 91}},
      {"前91", EraYear{true, 91}},
      {"紀元前91年", EraYear{true, 91}},
      {" 1 ", EraYear{false, 1}},
      {"9999", EraYear{false, 9999}},
      {"", std::nullopt},
      {"0", std::nullopt},
      {"10000", std::nullopt},
      {"BC", std::nullopt},
      {"79a4", std::nullopt},
      {"794年ころ", std::nullopt},
      {"-91", std::nullopt},
      {"\xff\xfe", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseTypedYear(c.typed), c.year) << c.typed;
}

TEST(EventDate, DatesAndMarksOfALine) {
  const std::string range = std::string("AD0710;3,1,AD0794,;*") + "奈良" + ";*平城京;;;";
  EXPECT_EQ(FirstDate(range), (EraYear{false, 710}));
  EXPECT_TRUE(FirstDateApproximate(range));
  EXPECT_EQ(FirstDate("BC0091;2,2,,;p;e;;;")->Signed(), -91);
  EXPECT_FALSE(FirstDateApproximate("BC0091;2,2,,;p;e;;;"));
  EXPECT_FALSE(FirstDate("XX0091;2,2,,;"));
  EXPECT_FALSE(FirstDate("AD09;"));
}

}  // namespace
}  // namespace qev
