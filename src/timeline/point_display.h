#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "events/event_store.h"
#include "events/timeline_point.h"
#include "timeline/visible_points.h"

#include "text/cp932.h"

namespace qev {

// The display form of an event line, as the information panels read it: the
// year's leading zeros blanked and the two level digits turned into symbols
// ("0" -> ○, "1".."5" -> ①..⑤). Every symbol takes two bytes, so the line
// grows by one byte per converted digit.
//
// A malformed line comes back with what is there: only zeros of the year
// (before the first ";") are blanked, and the memorisation digit is
// converted only where it follows a converted importance symbol and a ",".
Sjis FormatPointLine(std::string_view line);

// The event line of visible entry `index` in display form: empty for an
// index past the visible points, or for a line the slot no longer holds.
// Only the selected entry is ever shown, so lines are formatted one at a
// time when asked for, not all whenever the visible points change.
Sjis PointDisplayLine(const VisiblePointList& visible, const std::vector<TimelinePoint>& points,
                      const EventStore& store, std::size_t index);

// Blanks the leading zeros of the year in a date text ("AD0794" -> "AD 794"):
// position 2, then 3, then 4, each only after the previous one was blanked,
// and only before `end`. Position 5 keeps its digit, so year 0 shows "0".
void BlankYearZeros(Sjis& date, std::size_t end = std::string_view::npos);

// The symbol of a level digit ("0".."5"), or empty for any other character.
std::string_view LevelSymbol(char digit);

// The level 1..5 that ①..⑤ stand for; 0 for any other text (○ included).
int CircledLevel(std::string_view symbol);

}  // namespace qev
