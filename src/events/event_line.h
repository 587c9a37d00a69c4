#pragma once

#include <cstddef>
#include <string_view>

#include "platform/platform.h"

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

// The longest event text or memo that content editing takes into a panel
// line, in bytes. A longer field is shown cut (PanelDisplayText) and must
// not be edited, since the edit would write the cut text back.
constexpr std::size_t kEditableFieldLimit = 1000;
static_assert(kEditableFieldLimit + 16 <= kPanelLineLimit,
              "a field and its label fit on a panel line uncut");

// Whether content editing may take `field` into a panel: refuse, and say
// so, when it may not.
inline bool FieldFitsForEditing(std::string_view field) {
  return field.size() <= kEditableFieldLimit;
}

// The era and year field: the bytes before the first ";", the whole line
// when it has none, at most kHeadLimit bytes.
std::string_view EventHead(std::string_view line);

// The bytes between the second and the third "," within the first
// kDateScanLimit bytes: empty with fewer than two commas, up to the end of
// the scanned part without a third.
std::string_view SecondDateText(std::string_view line);

}  // namespace qev
