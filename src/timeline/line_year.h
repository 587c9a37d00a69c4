#pragma once

#include "events/event_date.h"
#include "timeline/timeline_scale.h"

namespace qev {

// The year the line shows at drawing-area x: the year whose place lies
// nearest to x on the era line's side (the era line itself is AD 1).
EraYear YearAtX(const TimelineScale& scale, int x);

// How many years one pixel spans at x (at least 1): the years between the
// places of x and its neighbours, the wider side counted.
int YearsPerPixel(const TimelineScale& scale, int x);

}  // namespace qev
