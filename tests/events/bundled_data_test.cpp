#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

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

TEST(BundledData, EveryEventFileIsSoundCp932WithWellFormedEvents) {
  std::array<int, 6> importance{};
  int files = 0;
  int events = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kDataDir)) {
    std::string name = entry.path().filename().string();
    if (name == "動作状態10.txt") continue;
    SCOPED_TRACE(name);
    ++files;
    FileBytes file = ReadWholeFile(entry.path());
    ASSERT_EQ(file.status, ReadStatus::kRead);
    EXPECT_EQ(EncodeCp932(DecodeCp932(file.bytes)).bytes, file.bytes);
    EXPECT_TRUE(CheckEventFile(file.bytes).empty());

    ParsedFile parsed = ParseEventFile(file.bytes);
    // The program saves a slot under its title, so the two stay equal.
    EXPECT_EQ(DecodeCp932(parsed.title) + ".txt", name);
    EXPECT_EQ(parsed.lastFileText, file.bytes);  // CR LF throughout, nothing after ";"
    EXPECT_GE(parsed.lines.size(), 30u);
    for (const Sjis& line : parsed.lines) {
      SCOPED_TRACE(DecodeCp932(line));
      ++events;
      EXPECT_NE(FindNth(line, ';', 6), kNoPos);
      int first = 0;
      EXPECT_TRUE(ReadDate(Field(line, ';', 0), first));
      std::string_view levels = Field(line, ';', 1);
      ASSERT_GE(levels.size(), 4u);
      EXPECT_TRUE(levels[0] >= '1' && levels[0] <= '5');
      EXPECT_EQ(levels[1], ',');
      EXPECT_TRUE(levels[2] >= '1' && levels[2] <= '5');
      importance[static_cast<std::size_t>(DigitAt(levels, 0))]++;
      std::string_view second = Field(levels, ',', 2);
      int last = 0;
      if (!second.empty()) {
        EXPECT_TRUE(ReadDate(second, last));
        EXPECT_GE(last, first);
      }
    }
  }
  EXPECT_EQ(files, 10);
  EXPECT_GE(events, 400);
  for (int level = 1; level <= 5; ++level) {
    EXPECT_GT(importance[static_cast<std::size_t>(level)], 0) << level;
  }
}

}  // namespace
}  // namespace qev
