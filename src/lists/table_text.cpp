#include "lists/table_text.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

#include "events/file_encoding.h"
#include "text/cp932.h"

namespace qev {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

// Anki's names for the separators, or the character itself.
std::optional<char> SeparatorNamed(std::string_view value) {
  const std::string name = Lower(Trimmed(value));
  if (name == "comma") return ',';
  if (name == "semicolon") return ';';
  if (name == "tab") return '\t';
  if (name == "space") return ' ';
  if (name == "pipe") return '|';
  if (name == "colon") return ':';
  if (value.size() == 1) return value.front();
  return std::nullopt;
}

// Splits the text into records of cells.
class RecordReader {
 public:
  RecordReader(std::string_view text, char separator) : text_(text), separator_(separator) {}

  bool AtEnd() const { return pos_ >= text_.size(); }

  // The next line as it stands, for a "#" header line.
  std::string_view PeekLine() const {
    const std::size_t end = text_.find_first_of("\r\n", pos_);
    return text_.substr(pos_, end == std::string_view::npos ? std::string_view::npos : end - pos_);
  }
  void SkipLine() {
    pos_ += PeekLine().size();
    SkipLineEnd();
  }
  void SetSeparator(char separator) { separator_ = separator; }

  std::vector<std::string> Next() {
    std::vector<std::string> cells(1);
    bool quoted = false;
    bool wasQuoted = false;
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (quoted) {
        if (c == '"') {
          if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
            cells.back() += '"';
            pos_ += 2;
            continue;
          }
          quoted = false;
          ++pos_;
          continue;
        }
        if (c == '\r') {
          // A line break inside a field is kept as LF, whatever ended it.
          cells.back() += '\n';
          pos_ += pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n' ? 2 : 1;
          continue;
        }
        cells.back() += c;
        ++pos_;
        continue;
      }
      if (c == '\r' || c == '\n') {
        SkipLineEnd();
        return cells;
      }
      if (c == separator_) {
        cells.emplace_back();
        wasQuoted = false;
        ++pos_;
        continue;
      }
      if (c == '"' && cells.back().empty() && !wasQuoted) {
        quoted = true;
        wasQuoted = true;
        ++pos_;
        continue;
      }
      cells.back() += c;
      ++pos_;
    }
    return cells;
  }

 private:
  void SkipLineEnd() {
    if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  }

  std::string_view text_;
  char separator_;
  std::size_t pos_ = 0;
};

// Counts of the separator candidates in the first line outside quotes.
char GuessSeparator(std::string_view text) {
  int tabs = 0;
  int commas = 0;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\r' || c == '\n') break;
    if (c == '\t') ++tabs;
    if (c == ',') ++commas;
  }
  return tabs > commas ? '\t' : ',';
}

// The text of an HTML field: tags dropped (a line break as one), the
// common entities decoded.
std::string PlainText(std::string_view html) {
  std::string out;
  for (std::size_t i = 0; i < html.size(); ++i) {
    const char c = html[i];
    if (c == '<') {
      const std::size_t end = html.find('>', i);
      if (end == std::string_view::npos) {
        out.append(html.substr(i));
        break;
      }
      const std::string tag = Lower(html.substr(i + 1, end - i - 1));
      if (tag.starts_with("br") || tag.starts_with("/div") || tag.starts_with("/p")) out += '\n';
      i = end;
      continue;
    }
    if (c == '&') {
      static const std::pair<std::string_view, std::string_view> kEntities[] = {
          {"&amp;", "&"},   {"&lt;", "<"},  {"&gt;", ">"},
          {"&quot;", "\""}, {"&#39;", "'"}, {"&nbsp;", " "},
      };
      bool replaced = false;
      for (const auto& [entity, text] : kEntities) {
        if (html.substr(i).starts_with(entity)) {
          out.append(text);
          i += entity.size() - 1;
          replaced = true;
          break;
        }
      }
      if (replaced) continue;
    }
    out += c;
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

// Anki's column numbers count from 1.
void NoteOtherColumn(std::string_view value, std::vector<std::size_t>& columns) {
  const std::string_view digits = Trimmed(value);
  std::size_t n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return;
    n = n * 10 + static_cast<std::size_t>(c - '0');
    if (n > 10000) return;
  }
  if (n >= 1) columns.push_back(n - 1);
}

}  // namespace

TableText ReadTable(std::string_view bytes) {
  TableText table;
  std::string text;
  const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (bytes.starts_with(kByteOrderMark)) {
    table.encoding = TableEncoding::kUtf8WithBom;
    text.assign(bytes.substr(kByteOrderMark.size()));
  } else if (ascii || LooksLikeMultiByteUtf8(bytes)) {
    text.assign(bytes);
  } else {
    // Invalid bytes show as U+FFFD, and the row holding one is refused.
    table.encoding = TableEncoding::kCp932;
    text = DecodeCp932(bytes);
  }

  RecordReader reader(text, GuessSeparator(text));
  std::optional<char> separator;
  bool html = false;
  int number = 0;
  std::string columnsLine;
  // Anki's header lines come first, each "#key:value"; a spreadsheet's
  // first row may start with "#" too ("#,年,できごと"), and is a row.
  static const std::string_view kKeys[] = {"separator",   "html",        "tags",
                                           "columns",     "notetype",    "deck",
                                           "deck column", "tags column", "notetype column",
                                           "guid column", "if matches"};
  while (!reader.AtEnd() && reader.PeekLine().starts_with('#')) {
    const std::string_view line = reader.PeekLine();
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) break;
    const std::string key = Lower(Trimmed(line.substr(1, colon - 1)));
    if (std::find(std::begin(kKeys), std::end(kKeys), key) == std::end(kKeys)) break;
    const std::string_view value = line.substr(colon + 1);
    if (key == "separator") separator = SeparatorNamed(value);
    if (key == "html") html = Lower(Trimmed(value)) == "true";
    if (key == "columns") columnsLine = std::string(value);
    if (key == "deck column" || key == "tags column" || key == "notetype column" ||
        key == "guid column") {
      NoteOtherColumn(value, table.otherColumns);
    }
    ++number;
    reader.SkipLine();
  }
  table.separator = separator.value_or(GuessSeparator(reader.PeekLine()));
  reader.SetSeparator(table.separator);
  if (!columnsLine.empty()) {
    RecordReader names(columnsLine, table.separator);
    table.columnNames = names.Next();
  }
  while (!reader.AtEnd()) {
    ++number;
    std::vector<std::string> cells = reader.Next();
    if (cells.size() == 1 && Trimmed(cells.front()).empty()) continue;
    if (html) {
      for (std::string& cell : cells) cell = PlainText(cell);
    }
    table.columnCount = std::max(table.columnCount, cells.size());
    table.rows.push_back({number, std::move(cells)});
  }
  return table;
}

std::string TableRow(const std::vector<std::string>& cells, char separator) {
  std::string out;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) out += separator;
    const std::string& cell = cells[i];
    const bool quote = cell.find_first_of(std::string("\"\r\n") + separator) != std::string::npos ||
                       cell.starts_with('#');
    if (!quote) {
      out += cell;
      continue;
    }
    out += '"';
    for (char c : cell) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  out += "\r\n";
  return out;
}

}  // namespace qev
