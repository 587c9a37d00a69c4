#pragma once

#include <optional>

#include "events/event_date.h"
#include "events/event_line.h"
#include "study/grade.h"

namespace qev {

// How far a year answered for an event may be off and still count as
// right (graded hard): the further from the present, the looser, since the
// sources themselves disagree more.
//   an approximate first date ("ころ") or one before AD 500: 10 years
//   AD 500 to 1499: 5 years
//   AD 1500 on: 1 year
int YearTolerance(const EventFields& event);

// Years between two years, counted across the eras without a year 0:
// BC 1 and AD 1 are one year apart.
int YearsApart(const EraYear& a, const EraYear& b);

// The years between `answered` and the event: 0 for its first date and for
// any year of its span up to the second date, counted across the eras
// without a year 0. Nothing when the event has no readable first date.
std::optional<int> YearsOff(const EventFields& event, const EraYear& answered);

// The grade of `answered` as the event's year: exact (or inside the span)
// good, or hard after the hint; off within the tolerance widened by
// `extraYears` hard; further off, or an event without a date, again.
Grade GradeYear(const EventFields& event, const EraYear& answered, bool hintShown,
                int extraYears = 0);

}  // namespace qev
