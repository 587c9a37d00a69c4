#include "text/byte_fields.h"

#include <gtest/gtest.h>

#include <string>

namespace qev {
namespace {

TEST(ByteFields, SeparatorsAndFields) {
  const std::string line = "AD0710;3,2,AD0794,;period;event;m1;m2;";
  EXPECT_EQ(FindNth(line, ';', 1), 6u);
  EXPECT_EQ(FindNth(line, ',', 3), 17u);
  EXPECT_EQ(FindNth(line, ',', 3, 17), kNoPos);  // limit excludes position 17
  EXPECT_EQ(FindNth(line, ';', 9), kNoPos);
  EXPECT_EQ(Field(line, ';', 0), "AD0710");
  EXPECT_EQ(Field(line, ';', 3), "event");
  EXPECT_EQ(Field(line, ';', 6), "");
  EXPECT_EQ(Field(line, ';', 7), "");
  EXPECT_EQ(Field("a;b", ';', 1), "b");  // last field without its ";"
  EXPECT_EQ(Head(line, ';'), "AD0710");
  EXPECT_EQ(Head("no separator", ';'), "no separator");
  EXPECT_EQ(Head("abcdef;", ';', 3), "abc");
}

TEST(ByteFields, NumbersNeverFailOrOverflow) {
  EXPECT_EQ(LeadingInt("0794;"), 794);
  EXPECT_EQ(LeadingInt("x12"), 0);
  EXPECT_EQ(LeadingInt(""), 0);
  EXPECT_EQ(LeadingInt("99999999999999999999999"), 2147483647);
  EXPECT_EQ(DigitAt("D1;10110", 3), 1);
  EXPECT_EQ(DigitAt("D1;10110", 4), 0);
  EXPECT_EQ(DigitAt("D1;x", 3), 0);
  EXPECT_EQ(DigitAt("D1;", 50), 0);
  EXPECT_EQ(ByteAt("ab", 2), '\0');
}

}  // namespace
}  // namespace qev
