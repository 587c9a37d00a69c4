#pragma once

namespace qev {

// Scroll bar actions, as the scroll bar reports them.
enum class ScrollCode {
  kLineLeft,
  kLineRight,
  kPageLeft,
  kPageRight,
  kThumbPosition,
  kThumbTrack,
  kLeft,
  kRight,
  kEndScroll,
};

// Where one scroll action moves the thumb.
struct ScrollStep {
  int pos = 0;  // not yet clamped to the bar
  // Whether the visible points and the selection follow. Dragging the thumb
  // only moves the line; the points follow when it is released.
  bool fullRefresh = true;
};

// The thumb position after `code`, from the thumb at `current`; `thumbPos`
// is where the bar reports the thumb for the two thumb actions.
ScrollStep NextScrollPos(ScrollCode code, int current, int thumbPos);

}  // namespace qev
