#include "events/event_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/cp932.h"

namespace qev {
namespace {

TEST(EventSearch, TextsAndDatesInEveryTypedForm) {
  const std::vector<Sjis> lines{
      "AD0794;3,1,;平安;平安京に遷都;ＡＢＣ１２;memo;"_sj,  // 0
      "BC0091;3,1,;;*Sulla;;ｘ;"_sj,                        // 1
      "AD0710;3,1,AD0794,;*奈良;平城京;;;"_sj,              // 2
      "BC0100;3,1,AD0010,;;Range;;;"_sj,                    // 3
      "AD1192;3,1,;;鎌倉ヂ;;;"_sj,                          // 4
  };
  std::vector<std::string_view> views(lines.begin(), lines.end());
  EventSearch search;
  search.Build(views);
  const struct {
    std::string query;
    std::vector<std::size_t> found;  // in date order
  } cases[] = {
      {"794", {2, 0}},  // a range spans 794; the event of 794
      {"AD794", {2, 0}},
      {"ａｄ７９４", {2, 0}},
      {"BC91", {3, 1}},  // BC 100 .. AD 10 spans BC 91
      {"前91", {3, 1}},
      {"紀元前91年", {3, 1}},
      {"5", {3}},  // AD 5 lies in the range; no text holds a 5
      {"平安", {0}},
      {"abc12", {0}},  // full-width letters and digits, any case
      {"ＳＵＬＬＡ", {1}},
      {"X", {1}},
      {"*", {}},  // the approximate marks are not text
      {"奈良", {2}},
      {"", {}},
      {"😀", {}},
      // The second byte of ヂ (0x8361) is no "a".
      {"a", {3, 1, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(search.Find(c.query), c.found) << c.query;
}

TEST(EventSearch, FoldsFullWidthAndCaseOnly) {
  EXPECT_EQ(FoldForSearch("ＡＢＣａｂｃ０９Ab"_sj), "abcabc09ab");
  EXPECT_EQ(FoldForSearch("京ア"_sj), std::string("京ア"_sj));
}

}  // namespace
}  // namespace qev
