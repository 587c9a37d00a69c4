#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "events/event_date.h"
#include "events/new_event_file.h"
#include "lists/table_text.h"
#include "text/cp932.h"

namespace qev {

// What a column of a table becomes in an event line.
enum class ColumnRole {
  kNone,  // left out
  kYear,  // the first date, or a range "1185-1333"
  kSecondYear,
  kApproximate,  // which dates are approximate: "1", "2", "1 2"
  kPeriod,
  kEvent,
  kMemo1,
  kMemo2,
  kImportance,
  kMemorisation,
};

// Every role in the order the import dialog offers them, with its name.
struct RoleName {
  ColumnRole role;
  const char* name;  // UTF-8
};
const std::vector<RoleName>& ColumnRoles();

// A year cell as learners type it: "794", "794年", "BC91", "前91",
// "紀元前91年", "AD 794" (as the panels write it), "794ころ", "794頃", and a
// range "1185-1333", "1185〜1333", "AD 710 　～ 　AD 794 ころ". A second
// year without an era has the first one's.
struct DateCell {
  TypedYearKind kind = TypedYearKind::kNotAYear;
  EraYear first;
  std::optional<EraYear> second;
  bool firstApproximate = false;
  bool secondApproximate = false;
};
DateCell ReadDateCell(std::string_view utf8);

// Which column is which, and whether the first row names the columns.
struct ColumnChoice {
  std::vector<ColumnRole> roles;  // one per column of the table
  bool header = false;
};

// The guess the import dialog starts from. A header is a first row that
// names columns ("年", "できごと", "時代", "メモ", "重要度", "year", "event"
// ...) or whose year cell is no year while the rows below have years. A
// column not named is guessed from its cells: the year is the column with
// the most years in it, a second column of years the second year, a column
// of levels 1..5 the importance (then the memorisation level), the longest
// texts the event, a column of "…時代" the period, the other texts the memos.
// Anki's deck, tags, note type and guid columns are left out.
ColumnChoice GuessColumns(const TableText& table);

// A row that cannot become an event line: its number and why (UTF-8).
struct RefusedRow {
  int row = 0;
  std::string reason;
};

struct ImportedEvents {
  std::vector<Sjis> lines;  // in date order, rows of one date in table order
  std::vector<RefusedRow> refused;
};

// The event lines of the table's rows as `choice` reads them, composed as
// the add dialog composes them (";" becomes "；", line breaks spaces).
// Refused, with the reason: no year, a year outside 1..9999, a level that
// is not 1..5, text Shift-JIS cannot hold, a line over the reader's limit.
// Without a year column every row is refused.
ImportedEvents ImportRows(const TableText& table, const ColumnChoice& choice);

// The new event file of the imported lines, as PlanNewEventFile plans an
// empty one (never over an existing file), with the lines in it.
NewEventFile PlanImportedFile(const std::filesystem::path& folder, std::string_view name,
                              std::string_view title, const Sjis& clockText,
                              const std::vector<Sjis>& lines);

}  // namespace qev
