#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "events/event_file.h"
#include "events/file_check.h"
#include "events/file_io.h"
#include "text/byte_fields.h"

namespace qev {
namespace {

const std::filesystem::path kDataDir = std::filesystem::path(QEV_SOURCE_DIR) / "qev_file";

// A signed year: BC negative.
bool ReadDate(std::string_view field, int& year) {
  if (field.size() != 6 || !(field.starts_with("AD") || field.starts_with("BC"))) return false;
  for (char c : field.substr(2)) {
    if (c < '0' || c > '9') return false;
  }
  year = LeadingInt(field.substr(2)) * (field[0] == 'B' ? -1 : 1);
  return true;
}

// The bracketed numbers of a 語呂合わせ in memo 2, as in "なくよ(794)うぐいす平安京".
// '(' and digits are never the second byte of a CP932 character.
std::vector<int> MnemonicNumbers(std::string_view memo) {
  std::vector<int> numbers;
  for (std::size_t open = memo.find('('); open != std::string_view::npos;
       open = memo.find('(', open + 1)) {
    std::size_t close = memo.find(')', open);
    std::string_view inside =
        memo.substr(open + 1, close == std::string_view::npos ? 0 : close - open - 1);
    if (inside.size() < 2 || inside.size() > 4) continue;
    if (inside.find_first_not_of("0123456789") != std::string_view::npos) continue;
    numbers.push_back(LeadingInt(inside));
  }
  return numbers;
}

struct BundledEvent {
  std::string theme;  // 日本史, 世界史 or 文化・科学史, from the file name
  int year = 0;
};

int CountEvents(const std::vector<BundledEvent>& events, std::string_view theme, int from, int to) {
  return static_cast<int>(std::count_if(events.begin(), events.end(), [&](const BundledEvent& e) {
    return e.theme == theme && e.year >= from && e.year <= to;
  }));
}

TEST(BundledData, TheTenThemesHoldAnExamSizedTimelineInDateOrderWithTheirMnemonics) {
  std::array<int, 6> importance{};
  int files = 0;
  std::vector<BundledEvent> events;
  int mnemonics = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kDataDir)) {
    std::string name = entry.path().filename().string();
    if (name == "動作状態10.txt") continue;
    SCOPED_TRACE(name);
    ++files;
    FileBytes file = ReadWholeFile(entry.path());
    ASSERT_EQ(file.status, ReadStatus::kRead);
    EXPECT_EQ(EncodeCp932(DecodeCp932(file.bytes)).bytes, file.bytes);
    EXPECT_TRUE(CheckEventFile(file.bytes).empty());

    ParsedFile parsed = ParseEventFile(file.bytes, ReadText::kKeep);
    // The program saves a slot under its title, so the two stay equal.
    EXPECT_EQ(DecodeCp932(parsed.title) + ".txt", name);
    EXPECT_EQ(parsed.lastFileText, file.bytes);  // CR LF throughout, nothing after ";"
    EXPECT_GE(parsed.lines.size(), 90u);
    const std::string stem = entry.path().stem().string();
    const std::string theme = stem.substr(0, stem.find('('));
    int previous = -10000;
    for (std::string_view line : parsed.lines) {
      SCOPED_TRACE(DecodeCp932(line));
      EXPECT_NE(FindNth(line, ';', 6), kNoPos);
      int first = 0;
      EXPECT_TRUE(ReadDate(Field(line, ';', 0), first));
      EXPECT_GE(first, previous);  // each file in date order
      previous = first;
      std::string_view levels = Field(line, ';', 1);
      ASSERT_GE(levels.size(), 4u);
      EXPECT_TRUE(levels[0] >= '1' && levels[0] <= '5');
      EXPECT_EQ(levels[1], ',');
      EXPECT_EQ(levels[2], '1');  // a new learner starts with nothing learnt
      const int level = DigitAt(levels, 0);
      importance[static_cast<std::size_t>(level)]++;
      events.push_back({theme, first});
      const std::vector<int> numbers = MnemonicNumbers(Field(line, ';', 5));
      for (int number : numbers) EXPECT_EQ(number, first < 0 ? -first : first);
      if (!numbers.empty() && level >= 4) ++mnemonics;
      std::string_view second = Field(levels, ',', 2);
      int last = 0;
      if (!second.empty()) {
        EXPECT_TRUE(ReadDate(second, last));
        EXPECT_GE(last, first);
      }
    }
  }
  EXPECT_EQ(files, 10);
  EXPECT_GE(events.size(), 1200u);
  EXPECT_GE(mnemonics, 250);  // core years (④ and ⑤) with their 語呂合わせ
  // The pyramid of exam weight: many background years, fewer must-know ones.
  for (int level = 1; level <= 4; ++level) {
    EXPECT_GT(importance[static_cast<std::size_t>(level)], importance[5]) << level;
  }
  EXPECT_GE(importance[5], 50);

  struct Span {
    const char* theme;
    int from;
    int to;
    int minimum;
  };
  const Span spans[] = {
      {"日本史", -9999, 9999, 600}, {"日本史", 1, 600, 30},
      {"日本史", 794, 1185, 45},    {"世界史", -9999, 9999, 500},
      {"世界史", 1789, 1913, 90},   {"世界史", 1914, 1999, 90},
      {"世界史", 2000, 9999, 15},   {"文化・科学史", -9999, 9999, 100},
  };
  for (const Span& span : spans) {
    EXPECT_GE(CountEvents(events, span.theme, span.from, span.to), span.minimum)
        << span.theme << " " << span.from << "-" << span.to;
  }
  for (int century = 3; century <= 21; ++century) {
    EXPECT_GE(CountEvents(events, "日本史", century * 100 - 99, century * 100), 8) << century;
  }
}

}  // namespace
}  // namespace qev
