#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "events/event_date.h"
#include "text/cp932.h"

namespace qev {

// The fields of the add / edit dialog, as the user sees them: the dates as
// numbers and flags, the texts as UTF-8 without the approximate marks.
struct EventForm {
  EraYear first{false, 1};
  bool firstApproximate = false;  // "*" before the event text
  std::optional<EraYear> second;
  bool secondApproximate = false;  // "*" before the period text
  int importance = 3;              // 1..5
  int memorisation = 1;            // 1..5
  std::string period;
  std::string event;
  std::string memo1;
  std::string memo2;
};

// The longest event line the reader keeps, in bytes without the line end.
inline constexpr std::size_t kEventLineLimit = 255;

// The dialog fields a refusal names.
enum class FormField { kNone, kYear, kSecondYear, kPeriod, kEvent, kMemo1, kMemo2 };

struct ComposedLine {
  Sjis line;  // empty unless ok()
  FormField field = FormField::kNone;
  std::string message;  // UTF-8, names the field
  bool ok() const { return field == FormField::kNone; }
};

// The dialog filled from an event line. Levels outside 1..5 read as 1.
EventForm FormOfLine(std::string_view line);

// A new event line: "AD0794;3,1,;period;event;memo 1;memo 2;", the second
// date written as "AD0794" between the second and third comma. A ";" typed
// into a text becomes "；" and a line break a space; a "*" typed at the start
// of the period or the event becomes "＊", so that only the flags mark a
// date as approximate. Refused, naming the field: a year outside 1..9999, a
// text CP932 cannot hold, a line longer than kEventLineLimit bytes.
ComposedLine ComposeEventLine(const EventForm& form);

// `line` rewritten from the dialog: every field whose value the dialog left
// as it was keeps its bytes (invalid ones included), and so does the text
// after the last field and after the second date's comma. A line already
// longer than the limit is refused only when it grows.
ComposedLine ComposeEditedLine(std::string_view line, const EventForm& form);

// Where a new line with first date `first` goes into a slot's lines: after
// the last line whose first date is not later, before everything when there
// is none. Lines without a readable date are passed over.
// `Lines` is any range of byte strings: a slot's lines, a list of lines.
template <typename Lines>
std::size_t InsertionIndex(const Lines& lines, EraYear first) {
  std::size_t index = 0;
  std::size_t i = 0;
  for (std::string_view line : lines) {
    ++i;
    const std::optional<EraYear> date = FirstDate(line);
    if (date && date->Signed() <= first.Signed()) index = i;
  }
  return index;
}

}  // namespace qev
