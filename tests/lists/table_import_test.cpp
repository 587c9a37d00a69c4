#include "lists/table_import.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "events/file_io.h"
#include "events/temp_folder.h"
#include "lists/table_text.h"
#include "text/cp932.h"

namespace qev {
namespace {

std::vector<std::vector<std::string>> CellsOf(const TableText& table) {
  std::vector<std::vector<std::string>> cells;
  for (const TableText::Row& row : table.rows) cells.push_back(row.cells);
  return cells;
}

TEST(TableText, SpreadsheetFilesInEveryEncodingAndQuoting) {
  // As a spreadsheet saves it: UTF-8 with a byte-order mark, CR LF, quoted
  // fields holding the separator, quotes and line breaks.
  const std::string saved =
      "\xEF\xBB\xBF年,できごと,メモ\r\n"
      "794,\"平安京へ遷都、桓武天皇\",\"鳴くよ\r\nうぐいす\"\r\n"
      "\r\n"
      "1185,\"「いい\"\"はこ\"\"」\",\r\n";
  const TableText bom = ReadTable(saved);
  EXPECT_EQ(bom.encoding, TableEncoding::kUtf8WithBom);
  EXPECT_EQ(bom.separator, ',');
  EXPECT_EQ(CellsOf(bom), (std::vector<std::vector<std::string>>{
                              {"年", "できごと", "メモ"},
                              {"794", "平安京へ遷都、桓武天皇", "鳴くよ\nうぐいす"},
                              {"1185", "「いい\"はこ\"」", ""}}));
  // Rows are numbered as the spreadsheet shows them: the empty row counts.
  EXPECT_EQ(bom.rows[2].number, 4);

  const TableText plain = ReadTable(saved.substr(3));
  EXPECT_EQ(plain.encoding, TableEncoding::kUtf8);
  EXPECT_EQ(CellsOf(plain), CellsOf(bom));

  const TableText cp932 = ReadTable(EncodeCp932("年\tできごと\n794\t平安京, 遷都\n").bytes);
  EXPECT_EQ(cp932.encoding, TableEncoding::kCp932);
  EXPECT_EQ(cp932.separator, '\t');
  EXPECT_EQ(CellsOf(cp932),
            (std::vector<std::vector<std::string>>{{"年", "できごと"}, {"794", "平安京, 遷都"}}));

  // A deck exported from Anki as text: its header lines set the separator
  // and HTML, and name the columns that are not the note's fields.
  const TableText deck = ReadTable(
      "#separator:tab\n#html:true\n#deck column:3\n#tags column:4\n"
      "鎌倉幕府<br>成立\t1185&nbsp;年\tHistory\tjp\n");
  EXPECT_EQ(
      CellsOf(deck),
      (std::vector<std::vector<std::string>>{{"鎌倉幕府\n成立", "1185 年", "History", "jp"}}));
  EXPECT_EQ(deck.otherColumns, (std::vector<std::size_t>{2, 3}));
  EXPECT_EQ(deck.rows[0].number, 5);
  // A spreadsheet's "#" column is no header line.
  EXPECT_EQ(CellsOf(ReadTable("#,年\n1,794\n")),
            (std::vector<std::vector<std::string>>{{"#", "年"}, {"1", "794"}}));

  // Written back, each cell comes back as it was.
  const std::vector<std::string> cells{"a,b", "say \"x\"", "two\nlines", "#tag", ""};
  for (char separator : {',', '\t'}) {
    EXPECT_EQ(CellsOf(ReadTable(TableRow(cells, separator))).at(0), cells);
  }
}

TEST(TableImport, YearFormsLearnersType) {
  const EraYear ad794{false, 794};
  const struct {
    std::string cell;
    TypedYearKind kind;
    EraYear first;
    std::optional<EraYear> second;
    bool firstAbout = false;
    bool secondAbout = false;
  } cases[] = {
      {"794", TypedYearKind::kYear, ad794, std::nullopt},
      {"794年", TypedYearKind::kYear, ad794, std::nullopt},
      {"AD 794", TypedYearKind::kYear, ad794, std::nullopt},
      {"BC91", TypedYearKind::kYear, {true, 91}, std::nullopt},
      {"前91", TypedYearKind::kYear, {true, 91}, std::nullopt},
      {"紀元前91年", TypedYearKind::kYear, {true, 91}, std::nullopt},
      {"794ころ", TypedYearKind::kYear, ad794, std::nullopt, true},
      {"794年頃", TypedYearKind::kYear, ad794, std::nullopt, true},
      {"1185-1333", TypedYearKind::kYear, {false, 1185}, EraYear{false, 1333}},
      {"1185〜1333", TypedYearKind::kYear, {false, 1185}, EraYear{false, 1333}},
      {"前206～8", TypedYearKind::kYear, {true, 206}, EraYear{true, 8}},
      {"BC30-AD14", TypedYearKind::kYear, {true, 30}, EraYear{false, 14}},
      {"AD 710 　～ 　AD 794 ころ", TypedYearKind::kYear, {false, 710}, ad794, false, true},
      {"", TypedYearKind::kNotAYear, {}, std::nullopt},
      {"平安時代", TypedYearKind::kNotAYear, {}, std::nullopt},
      {"1185-", TypedYearKind::kNotAYear, {}, std::nullopt},
      {"0", TypedYearKind::kOutOfRange, {}, std::nullopt},
      {"12000年", TypedYearKind::kOutOfRange, {}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell);
    const DateCell date = ReadDateCell(c.cell);
    EXPECT_EQ(date.kind, c.kind);
    if (c.kind != TypedYearKind::kYear) continue;
    EXPECT_EQ(date.first, c.first);
    EXPECT_EQ(date.second, c.second);
    EXPECT_EQ(date.firstApproximate, c.firstAbout);
    EXPECT_EQ(date.secondApproximate, c.secondAbout);
  }
}

TEST(TableImport, ColumnGuessesFromNamesAndFromCells) {
  using R = ColumnRole;
  const struct {
    std::string table;
    std::vector<ColumnRole> roles;
    bool header;
  } cases[] = {
      {"時代,年,できごと,備考,重要度\n平安時代,794,平安京,うぐいす,3\n",
       {R::kPeriod, R::kYear, R::kEvent, R::kMemo1, R::kImportance},
       true},
      // No names: the years, the levels, the longest texts, the periods.
      {"奈良時代,710,平城京に都を移す,5,元明\n平安時代,794,平安京に都を移す,3,桓武\n",
       {R::kPeriod, R::kYear, R::kEvent, R::kImportance, R::kMemo1},
       false},
      // A first row whose year is no year is a header, whatever it says.
      {"いつ,なに\n794,平安京\n1185,鎌倉\n", {R::kYear, R::kEvent}, true},
      // A numbering column is no year.
      {"No.,年,できごと\n1,794,平安京\n2,1185,鎌倉\n", {R::kNone, R::kYear, R::kEvent}, true},
      {"1185,1333,鎌倉時代の始まりと終わり\n", {R::kYear, R::kSecondYear, R::kEvent}, false},
      // Anki's deck and tags columns are left out.
      {"#separator:tab\n#deck column:3\n#tags column:4\n平安京\t794\tHistory\tjp\n",
       {R::kEvent, R::kYear, R::kNone, R::kNone},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.table);
    const ColumnChoice choice = GuessColumns(ReadTable(c.table));
    EXPECT_EQ(choice.roles, c.roles);
    EXPECT_EQ(choice.header, c.header);
  }
}

TEST(TableImport, EventLinesInDateOrderAndRefusedRowsWithTheirReasons) {
  const TableText table = ReadTable(
      "年,できごと,時代,重要度,メモ1\n"
      "1185,鎌倉幕府;守護・地頭,鎌倉時代,5,\"いい\nはこ\"\n"
      "前91,ある出来事,,,\n"
      ",年のない行,,,\n"
      "10000,遠い未来,,,\n"
      "794ころ,平安京,平安時代,6,\n"
      "1600,😀,,,\n"
      "710〜794,奈良の都,*奈良時代,,\n"
      "1192," +
      std::string(260, 'x') + ",,,\n");
  const ImportedEvents imported = ImportRows(table, GuessColumns(table));
  EXPECT_EQ(imported.lines, (std::vector<Sjis>{
                                "BC0091;3,1,,;;ある出来事;;;"_sj,
                                "AD0710;3,1,AD0794,;＊奈良時代;奈良の都;;;"_sj,
                                "AD1185;5,1,,;鎌倉時代;鎌倉幕府；守護・地頭;いい はこ;;"_sj,
                            }));
  ASSERT_EQ(imported.refused.size(), 5u);
  const std::vector<std::pair<int, std::string>> expected{
      {4, "年がありません。"},
      {5, "年「10000」が 1 から 9999 までではありません。"},
      {6, "重要度「6」は 1 から 5 までではありません。"},
      {7, "「できごと」に Shift-JIS で書けない文字「😀」があります。"},
      {9, "を短くしてください"},
  };
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(imported.refused[i].row, expected[i].first);
    EXPECT_NE(imported.refused[i].reason.find(expected[i].second), std::string::npos)
        << imported.refused[i].reason;
  }

  ColumnChoice noYear = GuessColumns(table);
  noYear.roles[0] = ColumnRole::kNone;
  EXPECT_TRUE(ImportRows(table, noYear).lines.empty());
  EXPECT_EQ(ImportRows(table, noYear).refused.size(), 8u);
}

TEST(TableImport, ANewFileInTheDataFolderNeverOverAnother) {
  testing::TempFolder folder;
  const Sjis clock = "2026年12月09日04時05分"_sj;
  const std::vector<Sjis> lines{"AD0794;3,1,,;;平安京;;;"_sj};
  const NewEventFile file = PlanImportedFile(folder.path(), "年表", "先生の年表", clock, lines);
  ASSERT_TRUE(file.ok()) << file.problem;
  EXPECT_EQ(file.text,
            "H;先生の年表;;2026年12月09日04時05分;\r\nAD0794;3,1,,;;平安京;;;\r\n;\r\n"_sj);
  ASSERT_TRUE(WriteNewFile(file.path, file.text).ok);
  EXPECT_FALSE(PlanImportedFile(folder.path(), "年表.txt", "", clock, lines).ok());
}

}  // namespace
}  // namespace qev
