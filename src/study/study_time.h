#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace qev {

// Calendar arithmetic of the study log on local wall-clock times: a day
// number counts days from 1970-01-01, a moment seconds from its midnight.
int DayNumber(int year, int month, int day);
inline int DayNumber(const LocalTime& t) {
  return DayNumber(t.year, t.month, t.day);
}
std::int64_t Moment(const LocalTime& t);
// The day number of a moment.
int DayOfMoment(std::int64_t moment);
// The date of a day number (midnight).
LocalTime DateOfDay(int dayNumber);

// "2026-12-09T14:03:05", and back; nothing for anything else.
std::string IsoDateTime(const LocalTime& t);
std::optional<LocalTime> ParseIsoDateTime(std::string_view text);

// A date as the windows write it: "2026年12月9日".
std::string JapaneseDate(const LocalTime& t);

}  // namespace qev
