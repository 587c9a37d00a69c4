#pragma once

#include <cstddef>
#include <optional>
#include <random>
#include <vector>

#include "events/event_date.h"
#include "events/timeline_point.h"
#include "timeline/timeline_scale.h"
#include "timeline/visible_points.h"

namespace qev {

// Finding a point on the line other than by stepping through the visible
// ones: by a year, at random over the whole line, under the pointer.

// Index of the point whose start lies nearest to `year` along the line
// (the earlier one of two as near), or nothing without points. `points` is
// in line order, as the point list keeps it.
std::optional<std::size_t> NearestPoint(const std::vector<TimelinePoint>& points,
                                        const TimelineScale& scale, EraYear year);

// Any one of `count` points, each as likely; nothing without points.
std::optional<std::size_t> RandomPoint(std::size_t count, std::mt19937& random);

// Within this many pixels of a point's mark the pointer is on that point.
inline constexpr int kMarkReach = 4;

// The visible point whose mark (the 6-pixel stroke across the line at its
// start) lies within kMarkReach pixels of the drawing-area position (x, y),
// the nearest one when several do; nothing when none does.
std::optional<std::size_t> PointMarkAt(const VisiblePointList& visible, const TimelineScale& scale,
                                       int x, int y);

}  // namespace qev
