#include "lists/table_export.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "events/event_file.h"
#include "events/file_io.h"
#include "lists/table_import.h"
#include "lists/table_text.h"
#include "text/cp932.h"

namespace qev {
namespace {

const std::filesystem::path kDataDir = std::filesystem::path(QEV_SOURCE_DIR) / "qev_file";

std::vector<ListedEvent> Listed(const Sjis& file, const std::vector<Sjis>& lines) {
  std::vector<ListedEvent> events;
  for (const Sjis& line : lines) events.push_back({file, line});
  return events;
}

TEST(TableExport, EveryBundledFileComesBackByteForByte) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kDataDir)) {
    const FileBytes file = ReadWholeFile(entry.path());
    const ParsedFile parsed = ParseEventFile(file.bytes);
    if (parsed.lines.empty()) continue;
    SCOPED_TRACE(entry.path().filename().string());
    ++files;
    for (char separator : {',', '\t'}) {
      const TableText table = ReadTable(
          EventTable(Listed(parsed.title, {parsed.lines.begin(), parsed.lines.end()}), separator));
      const ImportedEvents back = ImportRows(table, GuessColumns(table));
      EXPECT_TRUE(back.refused.empty());
      EXPECT_THAT(back.lines, ::testing::ElementsAreArray(parsed.lines));
    }
  }
  EXPECT_EQ(files, 10);
}

TEST(TableExport, TheTableAsASpreadsheetShowsIt) {
  const TableText table = ReadTable(EventTable(
      Listed("日本史"_sj, {"AD0710;4,2,AD0794,;*奈良時代;*平城京, 遷都;メモ;二;"_sj}), ','));
  EXPECT_EQ(table.encoding, TableEncoding::kUtf8WithBom);
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(table.rows[0].cells,
            (std::vector<std::string>{"ファイル", "年", "2つ目の年", "ころ", "時代", "できごと",
                                      "メモ1", "メモ2", "重要度", "記憶度"}));
  EXPECT_EQ(table.rows[1].cells,
            (std::vector<std::string>{"日本史", "AD 710", "AD 794", "1 2", "奈良時代",
                                      "平城京, 遷都", "メモ", "二", "4", "2"}));
}

TEST(TableExport, AnAnkiDeckAndItsWayBack) {
  const std::string deck =
      AnkiDeck(Listed("日本史 古代"_sj, {"AD0794;3,1,,;平安時代;平安京;鳴くよ;うぐいす;"_sj,
                                         "BC0091;5,2,,;;*ある\t出来事;;;"_sj}));
  // The header lines Anki reads, each on a line of its own, first.
  EXPECT_TRUE(
      deck.starts_with("#separator:tab\r\n#html:false\r\n#columns:表\t裏\tメモ1\tメモ2\t"
                       "デッキ\tタグ\r\n#deck column:5\r\n#tags column:6\r\n"));
  const TableText table = ReadTable(deck);
  EXPECT_EQ(table.columnNames,
            (std::vector<std::string>{"表", "裏", "メモ1", "メモ2", "デッキ", "タグ"}));
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(table.rows[0].cells,
            (std::vector<std::string>{"平安京（平安時代）", "AD 794", "鳴くよ", "うぐいす",
                                      "QEVライン::日本史 古代",
                                      "ファイル::日本史_古代 重要度::3 時代::平安時代"}));
  EXPECT_EQ(table.rows[1].cells, (std::vector<std::string>{"ある\t出来事", "BC  91 ころ", "", "",
                                                           "QEVライン::日本史 古代",
                                                           "ファイル::日本史_古代 重要度::5"}));

  // Read back as a table: the year from the back, the event from the front.
  const ImportedEvents back = ImportRows(table, GuessColumns(table));
  EXPECT_TRUE(back.refused.empty());
  EXPECT_EQ(back.lines,
            (std::vector<Sjis>{"BC0091;3,1,,;;*ある\t出来事;;;"_sj,
                               "AD0794;3,1,,;;平安京（平安時代）;鳴くよ;うぐいす;"_sj}));
}

}  // namespace
}  // namespace qev
