#include "events/file_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qev {
namespace {

// What is taken in comes back byte for byte, in the form it was read in.
TEST(FileEncoding, FilesComeBackAsTheyWereRead) {
  const std::string cp932 = "H;"_sj + "日本史"_sj + ";;\r\n;\r\n";
  const std::vector<std::string> files = {
      cp932,
      "H;日本史;;c;\r\nAD0794;3,1,,;平安;遷都①;;;\r\n;\r\n",  // CR LF
      "H;日本史;;c;\nAD0794;3,1,,;平安;遷都;;;\n;\n",         // LF
      "\xEF\xBB\xBFH;日本史;;c;\n;\n",                        // with a byte-order mark
      "H;ASCII;;\n;\n",  // no multi-byte character: CP932 as it is
  };
  for (const std::string& bytes : files) {
    const FileText file = ReadFileText(bytes);
    ASSERT_TRUE(file.ok()) << bytes;
    EXPECT_EQ(EncodeFileText(file.text, file.form), bytes);
    // The writer composes every line with CR LF; UTF-8 goes back with the
    // line ends it had (a CP932 file is written with CR LF, as ever).
    if (!file.form.utf8) continue;
    Sjis crlf;
    for (char c : file.text) {
      if (c == '\n' && (crlf.empty() || crlf.back() != '\r')) crlf += '\r';
      crlf += c;
    }
    EXPECT_EQ(EncodeFileText(crlf, file.form), bytes);
  }
  EXPECT_EQ(ReadFileText(files[1]).text, "H;日本史;;c;\r\nAD0794;3,1,,;平安;遷都①;;;\r\n;\r\n"_sj);
  EXPECT_EQ(ReadFileText(cp932).form, FileForm{});
  EXPECT_EQ(ReadFileText(files[2]).form, (FileForm{true, false, true}));
  EXPECT_EQ(ReadFileText(files[3]).form, (FileForm{true, true, true}));
}

// A character that cannot come back as it was refuses the file, named with
// its line.
TEST(FileEncoding, AUtf8FileWithACharacterShiftJisCannotKeepIsRefused) {
  const struct {
    std::string bytes;
    int line;
    std::string character;
  } cases[] = {
      {"H;t;;\nAD0794;3,1,,;;😀;;;\n;\n", 2, "😀"},
      {"H;t;;\r\nAD0794;3,1,,;;x;;;\r\nAD0795;3,1,,;;波〜;;;\r\n", 3, "〜"},
  };
  for (const auto& c : cases) {
    const FileText file = ReadFileText(c.bytes);
    EXPECT_FALSE(file.ok());
    EXPECT_EQ(file.problemLine, c.line);
    EXPECT_EQ(file.unkeptCharacter, c.character);
    EXPECT_TRUE(file.text.empty());
  }
}

}  // namespace
}  // namespace qev
