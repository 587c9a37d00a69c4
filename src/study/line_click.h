#pragma once

#include "events/event_date.h"

namespace qev {

// A click on the timeline's drawing area, in its own coordinates, with the
// year the line shows there and the years one pixel spans there.
struct LinePlace {
  int x = 0;
  int y = 0;
  EraYear year;
  int yearsPerPixel = 1;
};

// What a running round offers the view: a left click on the drawing area
// goes to it first, and the timeline sees only the clicks it leaves.
class LineClickTaker {
 public:
  virtual ~LineClickTaker() = default;
  // True when the click answered the open question.
  virtual bool TakeLineClick(const LinePlace& place) = 0;
};

}  // namespace qev
