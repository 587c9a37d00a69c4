#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "events/event_date.h"
#include "text/byte_fields.h"

namespace qev {

// Reading an event line: "era and year;levels,second date,...;period;event;
// memo 1;memo 2;". Every scan stays inside the line, however short or
// malformed it is.

// Of an event line's head (the text before its first ";") at most this many
// bytes are looked at.
constexpr std::size_t kHeadLimit = 201;
// The commas around the second date are looked for in this many bytes.
constexpr std::size_t kDateScanLimit = 256;
// Byte positions of the importance and memorisation digits.
constexpr std::size_t kImportancePos = 7;
constexpr std::size_t kMemorisationPos = 9;

// An event line read into its parts: views into the line's own bytes (valid
// as long as the line is), so reading one allocates nothing. A part the line
// lacks is empty; nothing is checked or repaired, so a malformed line shows
// what it holds and goes back to its file as it was.
struct EventFields {
  // The fields as the line splits at ";". A field without its ";" runs to
  // the end of the line; the fields after it are empty.
  std::string_view dateField;    // field 0: "AD0794"
  std::string_view levelsField;  // field 1: "3,1,AD0800,"
  std::string_view period;       // field 2 without its "*"
  std::string_view event;        // field 3 without its "*"
  std::string_view memo1;        // field 4
  std::string_view memo2;        // field 5
  // A leading "*" of the event text marks the first date as approximate,
  // one of the period text the second.
  bool firstApproximate = false;
  bool secondApproximate = false;

  // What places the event, read where the point list has always read it.
  std::string_view head;          // the date field within its first kHeadLimit bytes
  std::string_view secondDate;    // SecondDateText
  char importance = '\0';         // the byte at kImportancePos, '\0' past the end
  char memorisation = '\0';       // the byte at kMemorisationPos
  std::optional<EraYear> first;   // the head as a date
  std::optional<EraYear> second;  // the second date text as a date

  // The levels field's first three ","-separated parts (importance,
  // memorisation, second date), each empty when the field has fewer commas
  // before it and running to the field's end when it has none after it.
  std::array<std::string_view, 3> LevelParts() const;
};

EventFields ParseEvent(std::string_view line);

// An event's two level characters alone, as ParseEvent reads them, for the
// readers that go over every line and need nothing else (the level filter).
struct EventLevels {
  char importance = '\0';
  char memorisation = '\0';
};
inline EventLevels LevelsOf(std::string_view line) {
  return {ByteAt(line, kImportancePos), ByteAt(line, kMemorisationPos)};
}

// The era and year field: the bytes before the first ";", the whole line
// when it has none, at most kHeadLimit bytes.
std::string_view EventHead(std::string_view line);

// The bytes between the second and the third "," within the first
// kDateScanLimit bytes: empty with fewer than two commas, up to the end of
// the scanned part without a third.
std::string_view SecondDateText(std::string_view line);

}  // namespace qev
