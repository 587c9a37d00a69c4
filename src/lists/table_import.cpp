#include "lists/table_import.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <tuple>

#include "events/event_file.h"
#include "events/event_form.h"

namespace qev {
namespace {

constexpr std::size_t kGuessRows = 200;

// Spaces at either end, ASCII and full-width.
std::string_view Trimmed(std::string_view s) {
  for (;;) {
    if (s.starts_with(' ') || s.starts_with('\t') || s.starts_with('\n') || s.starts_with('\r')) {
      s.remove_prefix(1);
    } else if (s.starts_with("　")) {
      s.remove_prefix(3);
    } else {
      break;
    }
  }
  for (;;) {
    if (s.ends_with(' ') || s.ends_with('\t') || s.ends_with('\n') || s.ends_with('\r')) {
      s.remove_suffix(1);
    } else if (s.ends_with("　")) {
      s.remove_suffix(3);
    } else {
      break;
    }
  }
  return s;
}

bool ConsumeSuffix(std::string_view& s, std::string_view suffix) {
  if (!s.ends_with(suffix)) return false;
  s.remove_suffix(suffix.size());
  return true;
}

// A date without an era takes the era before it: "前206-8" is BC 206 to BC 8.
bool StartsWithDigit(std::string_view s) {
  return (!s.empty() && s.front() >= '0' && s.front() <= '9') ||
         (s.size() >= 3 && s.substr(0, 2) == "\xEF\xBC" &&
          static_cast<unsigned char>(s[2]) >= 0x90 && static_cast<unsigned char>(s[2]) <= 0x99);
}

struct OneDate {
  TypedYear year;
  bool approximate = false;
  bool era = false;  // written with its era
};

OneDate ReadOneDate(std::string_view part) {
  OneDate date;
  part = Trimmed(part);
  for (std::string_view mark : {"ころ", "頃", "ごろ", "?", "？"}) {
    if (ConsumeSuffix(part, mark)) {
      date.approximate = true;
      part = Trimmed(part);
      break;
    }
  }
  date.era = !StartsWithDigit(part);
  date.year = ReadTypedYear(part);
  return date;
}

// Where a range's separator is: the first of them after the first date.
std::size_t RangeSeparator(std::string_view s, std::size_t& length) {
  std::size_t best = std::string_view::npos;
  for (std::string_view sep : {"-", "~", "〜", "～", "–", "—", "－"}) {
    const std::size_t at = s.find(sep, 1);
    if (at < best) {
      best = at;
      length = sep.size();
    }
  }
  return best;
}

DateCell ReadDate(std::string_view utf8, std::optional<EraYear> before) {
  DateCell cell;
  std::string_view s = Trimmed(utf8);
  std::size_t length = 0;
  const std::size_t sep = RangeSeparator(s, length);
  const OneDate first = ReadOneDate(s.substr(0, sep));
  cell.kind = first.year.kind;
  cell.first = first.year.year;
  if (!first.era && before) cell.first.bc = before->bc;
  cell.firstApproximate = first.approximate;
  if (cell.kind != TypedYearKind::kYear || sep == std::string_view::npos) return cell;
  const OneDate second = ReadOneDate(s.substr(sep + length));
  if (second.year.kind != TypedYearKind::kYear) {
    cell.kind = second.year.kind;
    return cell;
  }
  cell.second = second.year.year;
  if (!second.era) cell.second->bc = cell.first.bc;
  cell.secondApproximate = second.approximate;
  return cell;
}

// A level cell: 1..5 in any width, or ①..⑤. Nothing for an empty cell, 0
// for anything else.
std::optional<int> ReadLevel(std::string_view utf8) {
  const std::string_view s = Trimmed(utf8);
  if (s.empty()) return std::nullopt;
  static const std::array<std::string_view, 5> kCircled{"①", "②", "③", "④", "⑤"};
  static const std::array<std::string_view, 5> kWide{"１", "２", "３", "４", "５"};
  for (int i = 0; i < 5; ++i) {
    const auto k = static_cast<std::size_t>(i);
    if (s == kCircled[k] || s == kWide[k] || (s.size() == 1 && s.front() == '1' + i)) {
      return i + 1;
    }
  }
  return 0;
}

std::string Lower(std::string_view s) {
  std::string out(Trimmed(s));
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The role a column's name gives it; kNone for a known column the lines do
// not hold (the file), nothing for an unknown name.
std::optional<ColumnRole> RoleOfName(std::string_view name) {
  static const std::vector<std::pair<ColumnRole, std::vector<std::string_view>>> kNames = {
      {ColumnRole::kNone,
       {"ファイル", "file", "デッキ", "deck", "タグ", "tags", "#", "no", "no.", "番号", "id"}},
      {ColumnRole::kYear,
       {"年", "年号", "年代", "西暦", "年月日", "日付", "year", "date", "始まりの年", "1つ目の年"}},
      {ColumnRole::kSecondYear,
       {"2つ目の年", "２つ目の年", "終わりの年", "終わり", "終了年", "second year", "end year",
        "end", "to"}},
      {ColumnRole::kApproximate, {"ころ", "頃", "approximate", "approx", "circa"}},
      {ColumnRole::kPeriod, {"時代", "時期", "period", "era"}},
      {ColumnRole::kEvent,
       {"できごと", "出来事", "事件", "事項", "内容", "項目", "event", "events", "表", "front"}},
      {ColumnRole::kMemo1,
       {"メモ1", "メモ１", "memo1", "memo 1", "メモ", "memo", "note", "notes", "備考", "説明"}},
      {ColumnRole::kMemo2, {"メモ2", "メモ２", "memo2", "memo 2"}},
      {ColumnRole::kImportance, {"重要度", "重要", "importance"}},
      {ColumnRole::kMemorisation, {"記憶度", "memorisation", "memorization"}},
  };
  const std::string lower = Lower(name);
  for (const auto& [role, names] : kNames) {
    for (std::string_view n : names) {
      if (lower == n) return role;
    }
  }
  return std::nullopt;
}

const std::string& CellOf(const TableText::Row& row, std::size_t column) {
  static const std::string kEmpty;
  return column < row.cells.size() ? row.cells[column] : kEmpty;
}

// How many UTF-8 characters.
std::size_t Characters(std::string_view s) {
  return static_cast<std::size_t>(std::count_if(
      s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool LooksLikePeriod(std::string_view cell) {
  const std::string_view s = Trimmed(cell);
  return s.ends_with("時代") || s.ends_with("朝") || s.ends_with("期") || s.ends_with("世");
}

bool Assigned(const std::vector<ColumnRole>& roles, ColumnRole role) {
  return std::find(roles.begin(), roles.end(), role) != roles.end();
}

// The columns' cells, read once: how many years, levels, period names,
// and how long the texts are.
struct ColumnStats {
  int cells = 0;  // not empty
  int years = 0;
  int levels = 0;
  int periods = 0;
  std::size_t characters = 0;
};

}  // namespace

const std::vector<RoleName>& ColumnRoles() {
  static const std::vector<RoleName> kRoles = {
      {ColumnRole::kNone, "(使わない)"},      {ColumnRole::kYear, "年"},
      {ColumnRole::kSecondYear, "2つ目の年"}, {ColumnRole::kApproximate, "ころ"},
      {ColumnRole::kPeriod, "時代"},          {ColumnRole::kEvent, "できごと"},
      {ColumnRole::kMemo1, "メモ1"},          {ColumnRole::kMemo2, "メモ2"},
      {ColumnRole::kImportance, "重要度"},    {ColumnRole::kMemorisation, "記憶度"},
  };
  return kRoles;
}

DateCell ReadDateCell(std::string_view utf8) {
  return ReadDate(utf8, std::nullopt);
}

ColumnChoice GuessColumns(const TableText& table) {
  ColumnChoice choice;
  const std::size_t columns = std::max(table.columnCount, table.columnNames.size());
  choice.roles.assign(columns, ColumnRole::kNone);
  std::vector<bool> decided(columns, false);
  for (std::size_t c : table.otherColumns) {
    if (c < columns) decided[c] = true;
  }

  // Names: Anki's "#columns:" line, else the first row when it names any.
  std::vector<std::string> names = table.columnNames;
  bool namesFromFirstRow = false;
  if (names.empty() && !table.rows.empty()) {
    for (const std::string& cell : table.rows.front().cells) {
      if (RoleOfName(cell)) namesFromFirstRow = true;
    }
    if (namesFromFirstRow) names = table.rows.front().cells;
  }
  for (std::size_t c = 0; c < names.size() && c < columns; ++c) {
    if (decided[c]) continue;
    std::optional<ColumnRole> role = RoleOfName(names[c]);
    if (!role) continue;
    if (*role == ColumnRole::kMemo1 && Assigned(choice.roles, ColumnRole::kMemo1)) {
      role = ColumnRole::kMemo2;
    }
    if (*role != ColumnRole::kNone && Assigned(choice.roles, *role)) continue;
    choice.roles[c] = *role;
    decided[c] = true;
  }

  const std::size_t firstData = namesFromFirstRow ? 1 : 0;
  const std::size_t lastData = std::min(table.rows.size(), firstData + kGuessRows);
  std::vector<ColumnStats> stats(columns);
  for (std::size_t r = firstData; r < lastData; ++r) {
    for (std::size_t c = 0; c < columns; ++c) {
      const std::string& cell = CellOf(table.rows[r], c);
      if (Trimmed(cell).empty()) continue;
      ColumnStats& s = stats[c];
      ++s.cells;
      if (ReadDateCell(cell).kind == TypedYearKind::kYear) ++s.years;
      if (ReadLevel(cell).value_or(0) > 0) ++s.levels;
      if (LooksLikePeriod(cell)) ++s.periods;
      s.characters += Characters(cell);
    }
  }
  auto undecided = [&](std::size_t c) { return !decided[c] && stats[c].cells > 0; };
  auto take = [&](std::size_t c, ColumnRole role) {
    choice.roles[c] = role;
    decided[c] = true;
  };

  // Levels before years: "3" is a year too.
  for (std::size_t c = 0; c < columns; ++c) {
    if (!undecided(c) || stats[c].levels != stats[c].cells) continue;
    if (!Assigned(choice.roles, ColumnRole::kImportance)) {
      take(c, ColumnRole::kImportance);
    } else if (!Assigned(choice.roles, ColumnRole::kMemorisation)) {
      take(c, ColumnRole::kMemorisation);
    }
  }
  for (ColumnRole role : {ColumnRole::kYear, ColumnRole::kSecondYear}) {
    if (Assigned(choice.roles, role)) continue;
    std::optional<std::size_t> best;
    for (std::size_t c = 0; c < columns; ++c) {
      if (!undecided(c) || stats[c].years == 0) continue;
      // A second year column holds nothing but years.
      if (role == ColumnRole::kSecondYear && stats[c].years != stats[c].cells) continue;
      if (!best || stats[c].years > stats[*best].years) best = c;
    }
    if (best) take(*best, role);
  }
  // Without names, a first row whose year is no year names the columns.
  if (!namesFromFirstRow && table.columnNames.empty() && !table.rows.empty()) {
    const auto year = std::find(choice.roles.begin(), choice.roles.end(), ColumnRole::kYear);
    if (year != choice.roles.end()) {
      const auto c = static_cast<std::size_t>(year - choice.roles.begin());
      choice.header = ReadDateCell(CellOf(table.rows.front(), c)).kind != TypedYearKind::kYear &&
                      stats[c].years * 2 > stats[c].cells;
    }
  }
  choice.header = choice.header || namesFromFirstRow;

  if (!Assigned(choice.roles, ColumnRole::kEvent)) {
    std::optional<std::size_t> best;
    for (std::size_t c = 0; c < columns; ++c) {
      if (!undecided(c)) continue;
      if (!best || stats[c].characters * static_cast<std::size_t>(stats[*best].cells) >
                       stats[*best].characters * static_cast<std::size_t>(stats[c].cells)) {
        best = c;
      }
    }
    if (best) take(*best, ColumnRole::kEvent);
  }
  if (!Assigned(choice.roles, ColumnRole::kPeriod)) {
    for (std::size_t c = 0; c < columns; ++c) {
      if (undecided(c) && stats[c].periods * 2 >= stats[c].cells) {
        take(c, ColumnRole::kPeriod);
        break;
      }
    }
  }
  for (ColumnRole role : {ColumnRole::kMemo1, ColumnRole::kMemo2}) {
    if (Assigned(choice.roles, role)) continue;
    for (std::size_t c = 0; c < columns; ++c) {
      if (undecided(c)) {
        take(c, role);
        break;
      }
    }
  }
  return choice;
}

ImportedEvents ImportRows(const TableText& table, const ColumnChoice& choice) {
  auto columnOf = [&](ColumnRole role) -> std::optional<std::size_t> {
    const auto it = std::find(choice.roles.begin(), choice.roles.end(), role);
    if (it == choice.roles.end()) return std::nullopt;
    return static_cast<std::size_t>(it - choice.roles.begin());
  };
  auto cell = [&](const TableText::Row& row, ColumnRole role) -> std::string {
    const std::optional<std::size_t> c = columnOf(role);
    return c ? CellOf(row, *c) : std::string();
  };

  ImportedEvents out;
  struct Dated {
    int year;
    Sjis line;
  };
  std::vector<Dated> dated;
  const std::optional<std::size_t> yearColumn = columnOf(ColumnRole::kYear);
  for (std::size_t r = choice.header ? 1 : 0; r < table.rows.size(); ++r) {
    const TableText::Row& row = table.rows[r];
    auto refuse = [&](std::string reason) {
      out.refused.push_back({row.number, std::move(reason)});
    };
    if (!yearColumn) {
      refuse("年の列が選ばれていません。");
      continue;
    }
    const std::string yearText(Trimmed(CellOf(row, *yearColumn)));
    const DateCell date = ReadDateCell(yearText);
    if (date.kind == TypedYearKind::kOutOfRange) {
      refuse("年「" + yearText + "」が 1 から 9999 までではありません。");
      continue;
    }
    if (date.kind == TypedYearKind::kNotAYear) {
      refuse(yearText.empty() ? "年がありません。" : "「" + yearText + "」は年として読めません。");
      continue;
    }
    EventForm form;
    form.first = date.first;
    form.second = date.second;
    form.firstApproximate = date.firstApproximate;
    form.secondApproximate = date.secondApproximate;
    const std::string secondText(Trimmed(cell(row, ColumnRole::kSecondYear)));
    if (!secondText.empty()) {
      const DateCell second = ReadDate(secondText, date.first);
      if (second.kind != TypedYearKind::kYear) {
        refuse(second.kind == TypedYearKind::kOutOfRange
                   ? "2つ目の年「" + secondText + "」が 1 から 9999 までではありません。"
                   : "2つ目の年「" + secondText + "」は年として読めません。");
        continue;
      }
      form.second = second.first;
      form.secondApproximate = form.secondApproximate || second.firstApproximate;
    }
    const std::string approximate = cell(row, ColumnRole::kApproximate);
    if (!Trimmed(approximate).empty()) {
      const bool one =
          approximate.find('1') != std::string::npos || approximate.find("１") != std::string::npos;
      const bool two =
          approximate.find('2') != std::string::npos || approximate.find("２") != std::string::npos;
      form.firstApproximate = form.firstApproximate || one || !two;
      form.secondApproximate = form.secondApproximate || two;
    }
    bool levelsOk = true;
    for (const auto& [role, level, name] :
         {std::tuple{ColumnRole::kImportance, &form.importance, "重要度"},
          std::tuple{ColumnRole::kMemorisation, &form.memorisation, "記憶度"}}) {
      const std::string text = cell(row, role);
      const std::optional<int> read = ReadLevel(text);
      if (!read) continue;
      if (*read == 0) {
        refuse(std::string(name) + "「" + std::string(Trimmed(text)) +
               "」は 1 から 5 までではありません。");
        levelsOk = false;
        break;
      }
      *level = *read;
    }
    if (!levelsOk) continue;
    form.period = cell(row, ColumnRole::kPeriod);
    form.event = cell(row, ColumnRole::kEvent);
    form.memo1 = cell(row, ColumnRole::kMemo1);
    form.memo2 = cell(row, ColumnRole::kMemo2);
    ComposedLine composed = ComposeEventLine(form);
    if (!composed.ok()) {
      refuse(composed.message);
      continue;
    }
    dated.push_back({form.first.Signed(), std::move(composed.line)});
  }
  std::stable_sort(dated.begin(), dated.end(),
                   [](const Dated& a, const Dated& b) { return a.year < b.year; });
  for (Dated& d : dated) out.lines.push_back(std::move(d.line));
  return out;
}

NewEventFile PlanImportedFile(const std::filesystem::path& folder, std::string_view name,
                              std::string_view title, const Sjis& clockText,
                              const std::vector<Sjis>& lines) {
  NewEventFile file = PlanNewEventFile(folder, name, title, clockText);
  if (file.ok()) file.text = ComposeFile(file.title, clockText, ComposeSlotBody(lines)).text;
  return file;
}

}  // namespace qev
