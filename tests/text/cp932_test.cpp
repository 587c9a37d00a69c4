#include "text/cp932.h"

#include <gtest/gtest.h>

namespace qev {
namespace {

TEST(Cp932, RoundTripsTheCharactersEventFilesUse) {
  // Circled digits, the full-width tilde and half-width katakana are the
  // characters a plain Shift-JIS converter gets wrong or lacks.
  const std::string utf8 = "①⑤⑩ ～ ﾊﾞｰｼﾞｮﾝ 歴史 ＭＳ Ｐゴシック AD0794;";
  Cp932Encoding e = EncodeCp932(utf8);
  ASSERT_TRUE(e.ok()) << e.unencodable;
  EXPECT_EQ(e.bytes.substr(0, 2), "\x87\x40");  // ①
  EXPECT_EQ(DecodeCp932(e.bytes), utf8);
  EXPECT_TRUE(IsValidCp932(e.bytes));
}

TEST(Cp932, DecodingReplacesBadAndCutSequencesAndGoesOn) {
  // 0x81 0x20: a lead byte without a valid trail byte; 0x82 at the end: cut.
  EXPECT_EQ(DecodeCp932("a\x81 b"), "a\xEF\xBF\xBD b");
  EXPECT_EQ(DecodeCp932("x\x82"), "x\xEF\xBF\xBD");
  EXPECT_EQ(DecodeCp932("\xFF\x82\xA0"), "\xEF\xBF\xBD\xE3\x81\x82");  // then あ
  EXPECT_FALSE(IsValidCp932("x\x82"));
  EXPECT_FALSE(IsValidCp932("a\x81 b"));
  EXPECT_EQ(DecodeCp932(""), "");
}

TEST(Cp932, EncodingReportsTheFirstCharacterItCannotHold) {
  Cp932Encoding e = EncodeCp932("ab😀c🐱");
  EXPECT_FALSE(e.ok());
  EXPECT_EQ(e.unencodable, "😀");
  EXPECT_FALSE(EncodeCp932("a\xC3").ok());  // invalid UTF-8
}

TEST(Cp932, LiteralsAreConvertedOnceAndStayValid) {
  const Sjis& a = "ファイル①"_sj;
  const Sjis& b = Cp932Literal(std::string("ファイル①"));
  EXPECT_EQ(&a, &b);
  EXPECT_EQ(a, EncodeCp932("ファイル①").bytes);
}

TEST(Cp932, LongTextConvertsWhole) {
  std::string utf8;
  for (int i = 0; i < 3000; ++i) utf8 += "歴史";
  Cp932Encoding e = EncodeCp932(utf8);
  ASSERT_TRUE(e.ok());
  EXPECT_EQ(e.bytes.size(), 12000u);
  EXPECT_EQ(DecodeCp932(e.bytes), utf8);
}

}  // namespace
}  // namespace qev
