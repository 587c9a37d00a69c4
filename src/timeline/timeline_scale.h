#pragma once

#include <array>
#include <optional>

#include "platform/screen_layout.h"

namespace qev {

// Height of the timeline at one x, with the ends of the 6-pixel vertical
// mark drawn across the line for a point.
struct LineY {
  int y = 0;
  int yLow = 0;   // y + 3
  int yHigh = 0;  // y - 3
};

// The geometry of the zigzag timeline: the zoom range, the segment sizes, the
// position of the era line, and the conversions year -> offset and x -> line
// height. Every value is in pixels of the drawing area (origin at its
// top-left, y downwards); every division truncates after the product.
//
// Each 1000-year cycle is ten segments of 100 years, read away from the era
// line: rising, flat (upper level), falling, flat (lower level), rising, flat,
// falling, flat, rising, flat; the last flat one stops flatWidth/100 short of
// the cycle end, and the next cycle starts again on the lower level. The BC
// side mirrors the AD side about the era line.
//
// flatWidth, cycleWidth and baselineY follow the range at once: every setter
// of the range recomputes them, so the drawing, the point offsets and the
// line heights always agree with the current range.
class TimelineScale {
 public:
  static constexpr int kRangeCount = 21;
  static constexpr int kStartRange = 7;
  static constexpr int kScrollMax = 700;
  static constexpr int kScrollStep = 20;
  // The thumb at start-up, before the first scroll brings originX and the
  // thumb into the relation below.
  static constexpr int kStartThumb = kScrollMax / 2 - 4;

  explicit TimelineScale(const ScreenLayout& layout);

  const ScreenLayout& layout() const { return layout_; }
  int drawAreaWidth() const { return layout_.drawAreaWidth(); }
  int drawAreaHeight() const { return layout_.drawAreaHeight(); }
  // Label font height: 12 below a 1024-pixel-wide screen, 14 from there on.
  int fontHeight() const { return layout_.W < 1024 ? 12 : 14; }

  int rangeIndex() const { return rangeIndex_; }
  // Sets the range (as the state file does); values outside 0..20 are taken
  // as the nearest end of that span. originX is left as it is.
  void SetRange(int rangeIndex);

  int segmentWidth() const { return segmentWidth_; }
  int flatWidth() const { return flatWidth_; }
  int cycleWidth() const { return cycleWidth_; }
  int baselineY() const { return baselineY_; }
  // How many 1000-year cycles are drawn on each side of the era line.
  int cycleCount() const;
  // Whether the 500-year ticks and labels are drawn.
  bool halfTicks() const { return rangeIndex_ > 2; }
  // Segment s (0..9) of a cycle: its horizontal start and end within the
  // cycle and its height at both ends.
  int SegmentStart(int s) const;
  int SegmentEnd(int s) const;
  int SegmentStartY(int s) const;
  int SegmentEndY(int s) const;

  // x of the era line in the drawing area; may lie outside it.
  int originX() const { return originX_; }
  void SetOriginX(int originX) { originX_ = originX; }
  int scrollPos() const { return scrollPos_; }
  // Moves to scroll position `pos` (taken into 0..700) and puts the era line
  // where that position says.
  void ScrollTo(int pos);

  // originX for a scroll position, and the thumb position (within 0..700,
  // as the scroll bar keeps it) for an originX.
  static int OriginXForScrollPos(int pos);
  static int ThumbForOriginX(int originX);

  // Steps the range by `direction` (+1 or -1), wrapping 20 -> 0 and
  // 0 -> 20, and rescales originX so the left edge of the drawing area stays
  // on the same year. scrollPos is kept; returns the new thumb position.
  int ChangeRange(int direction);

  // Pixel distance from the era line of a year magnitude (years before or
  // after year 0), held at 2^30 for years no real date reaches.
  int YearToOffset(int year) const;
  // Height of the line at drawing-area x; nothing in the short gap at the end
  // of a cycle and from 25 cycles away from the era line on.
  std::optional<LineY> LineYAt(int x) const;
  // Where to draw a point's mark at x: LineYAt where the line has a height.
  // Elsewhere the height of the line as drawn: in a cycle's end gap the
  // upper level of the flat segment the gap cuts short, and beyond 25 cycles
  // the height the repeating cycle has there.
  LineY MarkAt(int x) const;

 private:
  static constexpr int kYearsPerCycle = 1000;
  // The offset of year r of a cycle from the cycle's start.
  int CycleOffset(int r) const;
  // The cycle position u (0 <= u < cycleWidth) to a line height, or nothing
  // in the end gap.
  std::optional<int> HeightInCycle(int u) const;

  ScreenLayout layout_;
  int rangeIndex_ = kStartRange;
  int segmentWidth_ = 1;
  int flatWidth_ = 1;
  int cycleWidth_ = 10;
  int baselineY_ = 0;
  int originX_ = 0;
  int scrollPos_ = kStartThumb;
  // CycleOffset of every year of a cycle, for the current range.
  std::array<int, kYearsPerCycle> offsetInCycle_{};
};

}  // namespace qev
