#include "timeline/timeline_scale.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace qev {

namespace {

// Width of one slanted segment per range, per mille of the drawing-area width.
constexpr std::array<int, TimelineScale::kRangeCount> kRangeFactor{
    10, 15, 20, 25, 30, 40, 55, 70, 85, 100, 125, 150, 175, 200, 225, 250, 275, 300, 325, 350, 375};

// Segments in a cycle; the last one is cut short by the end gap.
constexpr int kSegments = 10;
// Cycles counted away from the era line before the line has no height.
constexpr int kMaxCycles = 25;
// Farthest a point is put from the era line. A year of a malformed line can
// be as large as an int holds; held here, its point stays far outside the
// area and originX +/- offset cannot overflow.
constexpr long long kMaxOffset = 1LL << 30;

}  // namespace

TimelineScale::TimelineScale(const ScreenLayout& layout)
    : layout_(layout), originX_(-620 * layout.W / 800) {
  SetRange(kStartRange);
}

void TimelineScale::SetRange(int rangeIndex) {
  rangeIndex_ = std::clamp(rangeIndex, 0, kRangeCount - 1);
  int width = drawAreaWidth() * kRangeFactor[rangeIndex_] / 1000;
  // The segments keep the size they have on an 800-pixel-wide screen (the
  // factor alone would scale them with the width): 800/1024 at 1024.
  if (layout_.W != 800 && layout_.W > 0) width = width * 800 / layout_.W;
  // A degenerate layout must not leave a zero width to divide by.
  segmentWidth_ = std::max(width, 1);
  flatWidth_ = segmentWidth_ * 100 / 71;
  cycleWidth_ = 5 * (segmentWidth_ + flatWidth_);
  baselineY_ = drawAreaHeight() * 620 / 1000 + rangeIndex_ * 45 / 10;
  for (int r = 0; r < kYearsPerCycle; ++r) {
    offsetInCycle_[static_cast<std::size_t>(r)] = CycleOffset(r);
  }
}

int TimelineScale::CycleOffset(int r) const {
  const int s = r / 100;
  const int t = r - 100 * s;
  // Slanted segments take 100 years over segmentWidth, flat ones over
  // flatWidth (segmentWidth/0.71).
  const int along = s % 2 == 0 ? t * segmentWidth_ / 100 : t * segmentWidth_ / 71;
  return SegmentStart(s) + along;
}

int TimelineScale::cycleCount() const {
  if (rangeIndex_ == 0) return 95;
  if (rangeIndex_ < 5) return 75;
  if (rangeIndex_ < 6) return 25;
  if (rangeIndex_ < 10) return 15;
  if (rangeIndex_ < 13) return 10;
  if (rangeIndex_ < 16) return 4;
  return 3;
}

int TimelineScale::SegmentStart(int s) const {
  return (s + 1) / 2 * segmentWidth_ + s / 2 * flatWidth_;
}

int TimelineScale::SegmentEnd(int s) const {
  return s == kSegments - 1 ? cycleWidth_ - flatWidth_ / 100 : SegmentStart(s + 1);
}

int TimelineScale::SegmentStartY(int s) const {
  const int upper = baselineY_ - segmentWidth_;
  return s % 4 == 1 || s % 4 == 2 ? upper : baselineY_;
}

int TimelineScale::SegmentEndY(int s) const {
  const int upper = baselineY_ - segmentWidth_;
  return s % 4 == 0 || s % 4 == 1 ? upper : baselineY_;
}

void TimelineScale::ScrollTo(int pos) {
  scrollPos_ = std::clamp(pos, 0, kScrollMax);
  originX_ = OriginXForScrollPos(scrollPos_);
}

int TimelineScale::OriginXForScrollPos(int pos) {
  return kScrollStep * (kScrollMax / 2 - pos) + kScrollMax / 2;
}

int TimelineScale::ThumbForOriginX(int originX) {
  return std::clamp(kScrollMax / 2 - (originX - kScrollMax / 2) / kScrollStep, 0, kScrollMax);
}

int TimelineScale::ChangeRange(int direction) {
  const int oldSegmentWidth = segmentWidth_;
  SetRange(((rangeIndex_ + direction) % kRangeCount + kRangeCount) % kRangeCount);
  originX_ = static_cast<int>(static_cast<long long>(originX_) * segmentWidth_ / oldSegmentWidth);
  return ThumbForOriginX(originX_);
}

int TimelineScale::YearToOffset(int year) const {
  const int k = year / kYearsPerCycle;
  const int r = year - kYearsPerCycle * k;
  // Every point of every range change asks: the years of a cycle are looked
  // up, only a negative year is worked out.
  const int inCycle = r >= 0 ? offsetInCycle_[static_cast<std::size_t>(r)] : CycleOffset(r);
  const long long offset = static_cast<long long>(k) * cycleWidth_ + inCycle;
  return static_cast<int>(std::min(offset, kMaxOffset));
}

std::optional<int> TimelineScale::HeightInCycle(int u) const {
  for (int s = 0; s < kSegments; ++s) {
    if (u >= SegmentEnd(s)) continue;
    // Slanted segments run at 45 degrees: one pixel up or down per pixel.
    const int along = u - SegmentStart(s);
    switch (s % 4) {
      case 0:
        return baselineY_ - along;
      case 1:
        return baselineY_ - segmentWidth_;
      case 2:
        return baselineY_ - segmentWidth_ + along;
      default:
        return baselineY_;
    }
  }
  return std::nullopt;
}

std::optional<LineY> TimelineScale::LineYAt(int x) const {
  const long long d = std::llabs(static_cast<long long>(x) - originX_);
  const long long k = std::min<long long>(d / cycleWidth_, kMaxCycles - 1);
  const long long u = d - k * cycleWidth_;
  if (u >= cycleWidth_) return std::nullopt;
  const std::optional<int> y = HeightInCycle(static_cast<int>(u));
  if (!y) return std::nullopt;
  return LineY{*y, *y + 3, *y - 3};
}

LineY TimelineScale::MarkAt(int x) const {
  if (std::optional<LineY> line = LineYAt(x)) return *line;
  const long long d = std::llabs(static_cast<long long>(x) - originX_);
  const int y =
      HeightInCycle(static_cast<int>(d % cycleWidth_)).value_or(baselineY_ - segmentWidth_);
  return LineY{y, y + 3, y - 3};
}

}  // namespace qev
