#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qev {

// How a table file stored its text.
enum class TableEncoding { kUtf8, kUtf8WithBom, kCp932 };

// A table as spreadsheets and editors save it (CSV or tab-separated), read
// into UTF-8 cells. A deck exported from Anki as text is a table too: its
// "#key:value" lines at the top set the separator, whether the fields are
// HTML, and which columns hold the note type, deck, tags and guid.
struct TableText {
  TableEncoding encoding = TableEncoding::kUtf8;
  char separator = ',';
  struct Row {
    int number = 0;  // the row as a spreadsheet counts it, from 1
    std::vector<std::string> cells;
  };
  std::vector<Row> rows;  // without empty rows and the "#" lines
  // From the "#" lines: the column names ("#columns:"), and the columns
  // (from 0) that hold no event content (deck, tags, note type, guid).
  std::vector<std::string> columnNames;
  std::vector<std::size_t> otherColumns;
  std::size_t columnCount = 0;  // the most cells of any row
};

// Reads a table file's bytes. UTF-8 with or without a byte-order mark, and
// CP932 (any text that is not valid UTF-8), are told apart as the event
// files are. The separator is the "#separator:" line's, else a tab when the
// first row holds more tabs than commas, else a comma. Fields follow the
// usual quoting: a quoted field may hold the separator, line breaks (kept
// as LF) and "" for a quote. Lines end with CR LF, LF or CR.
TableText ReadTable(std::string_view bytes);

// One row as a table file holds it: the cells joined by `separator`, a cell
// quoted when it holds the separator, a quote, a line break, or starts with
// "#" (which Anki would read as a header line), and CR LF after it.
std::string TableRow(const std::vector<std::string>& cells, char separator);

}  // namespace qev
