#include "timeline/scrolling.h"

#include "timeline/timeline_scale.h"

namespace qev {

ScrollStep NextScrollPos(ScrollCode code, int current, int thumbPos) {
  switch (code) {
    case ScrollCode::kLineLeft:
      return {current - 1};
    case ScrollCode::kLineRight:
      return {current + 1};
    case ScrollCode::kPageLeft:
      return {current - 10};
    case ScrollCode::kPageRight:
      return {current + 10};
    case ScrollCode::kThumbPosition:
      return {thumbPos};
    case ScrollCode::kThumbTrack:
      return {thumbPos, false};
    case ScrollCode::kLeft:
      return {0};
    case ScrollCode::kRight:
      return {TimelineScale::kScrollMax};
    case ScrollCode::kEndScroll:
      break;
  }
  return {current};
}

}  // namespace qev
