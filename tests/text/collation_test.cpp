#include "text/collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace qev {
namespace {

TEST(Collation, KeysOfOneYearOrderByLineAsText) {
  std::vector<std::string> keys = {"AD0710;0;2;;", "AD0710;0;11;;", "AD0710;0;1;;",
                                   "AD0710;0;10;;"};
  std::sort(keys.begin(), keys.end(), CollateLess);
  EXPECT_EQ(keys, (std::vector<std::string>{"AD0710;0;1;;", "AD0710;0;10;;", "AD0710;0;11;;",
                                            "AD0710;0;2;;"}));
}

TEST(Collation, ClassesAndCase) {
  EXPECT_LT(CollateCompare(";", "0"), 0);  // punctuation before digits
  EXPECT_LT(CollateCompare("9", "a"), 0);  // digits before letters
  EXPECT_LT(CollateCompare("z", "\x81"), 0);
  EXPECT_LT(CollateCompare("~", "0"), 0);
  EXPECT_EQ(CollateCompare("ad0710", "AD0710"), 0);
  EXPECT_LT(CollateCompare("a", "B"), 0);
  EXPECT_LT(CollateCompare("AD", "AD0"), 0);  // prefix first
  EXPECT_LT(CollateCompare("\x82\xA0", "\x88\x9F"), 0);
  EXPECT_LT(CollateCompare("AD0999", "AD1000"), 0);
}

}  // namespace
}  // namespace qev
