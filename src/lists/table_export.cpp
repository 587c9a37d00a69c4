#include "lists/table_export.h"

#include "events/event_form.h"
#include "events/event_line.h"
#include "lists/table_text.h"
#include "timeline/date_text.h"
#include "timeline/point_display.h"

namespace qev {
namespace {

std::string Approximate(const EventForm& form) {
  if (form.firstApproximate && form.secondApproximate) return "1 2";
  if (form.firstApproximate) return "1";
  if (form.secondApproximate) return "2";
  return {};
}

// The level digit as the line holds it, so that a digit the reader does
// not take is not written out as another.
std::string LevelDigit(std::string_view line, std::size_t pos) {
  return pos < line.size() ? std::string(1, line[pos]) : std::string();
}

// A tag holds no spaces: Anki separates tags by them.
std::string Tag(std::string_view prefix, std::string_view text) {
  std::string tag(prefix);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ' ') {
      tag += '_';
    } else if (text.substr(i).starts_with("　")) {
      tag += '_';
      i += 2;
    } else {
      tag += text[i];
    }
  }
  return tag;
}

}  // namespace

std::string EventTable(const std::vector<ListedEvent>& events, char separator) {
  std::string out = "\xEF\xBB\xBF" + TableRow({"ファイル", "年", "2つ目の年", "ころ", "時代",
                                               "できごと", "メモ1", "メモ2", "重要度", "記憶度"},
                                              separator);
  for (const ListedEvent& e : events) {
    const EventForm form = FormOfLine(e.line);
    Sjis first(EventHead(e.line));
    BlankYearZeros(first);
    out += TableRow({DecodeCp932(e.file), DecodeCp932(first),
                     DecodeCp932(SecondDateShown(SecondDateText(e.line))), Approximate(form),
                     form.period, form.event, form.memo1, form.memo2,
                     LevelDigit(e.line, kImportancePos), LevelDigit(e.line, kMemorisationPos)},
                    separator);
  }
  return out;
}

std::string AnkiDeck(const std::vector<ListedEvent>& events) {
  std::string out =
      "#separator:tab\r\n"
      "#html:false\r\n"
      "#columns:表\t裏\tメモ1\tメモ2\tデッキ\tタグ\r\n"
      "#deck column:5\r\n"
      "#tags column:6\r\n";
  for (const ListedEvent& e : events) {
    const EventForm form = FormOfLine(e.line);
    const std::string file = DecodeCp932(e.file);
    std::string front = form.event;
    if (!form.period.empty()) front += "（" + form.period + "）";
    std::string tags =
        Tag("ファイル::", file) + " " + Tag("重要度::", LevelDigit(e.line, kImportancePos));
    if (!form.period.empty()) tags += " " + Tag("時代::", form.period);
    out += TableRow({front, DecodeCp932(EventDateText(e.line)), form.memo1, form.memo2,
                     "QEVライン::" + file, tags},
                    '\t');
  }
  return out;
}

}  // namespace qev
