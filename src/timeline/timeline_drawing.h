#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "events/timeline_point.h"
#include "platform/canvas.h"
#include "settings/display_settings.h"
#include "timeline/timeline_scale.h"
#include "timeline/visible_points.h"

namespace qev {

// The label face of the timeline, asked for at the scale's font height.
inline constexpr std::string_view kTimelineFace = "MS P明朝";

// Colours of the timeline.
inline constexpr Rgb kTimelineLineColor{120, 120, 120};
inline constexpr Rgb kPointMarkColor{96, 96, 96};
inline constexpr Rgb kSelectedMarkColor{192, 192, 192};
inline constexpr Rgb kRangeEndMarkColor{160, 160, 96};
inline constexpr Rgb kMarginStripColor{152, 152, 152};

// The background grey of brightness 1..5; nothing for any other value.
std::optional<Rgb> BackgroundGrey(int brightness);

// Repaints the drawing area from scratch: background, era line, the zigzag
// line on both sides, millennium (and from range 3 half-millennium) ticks
// with their labels, every point's mark in 全表示, and then the two margin
// strips beside the drawing area on the view canvas. The drawing area keeps
// its picture, for selection marks to be drawn over it and taken away again.
// The caller records that the main screen and the timeline are shown.
void DrawTimeline(const TimelineScale& scale, const DisplaySettings& settings,
                  const std::vector<TimelinePoint>& points, Canvas& drawArea, Canvas& view);

// One 6-pixel mark across the line at the start of every point that reaches
// the drawing area, all in one batch.
void DrawAllPoints(const TimelineScale& scale, const std::vector<TimelinePoint>& points,
                   Canvas& drawArea);

// The selected point's marks over the drawn timeline: its start unless the
// point marks are hidden, and in 範囲表示 also its range end. Returns the
// rectangles drawn on, which putting back the kept picture inside them takes
// away again.
std::vector<PixelRect> DrawSelectionMarks(const TimelineScale& scale,
                                          const DisplaySettings& settings,
                                          const VisiblePoint& selected, Canvas& drawArea);

}  // namespace qev
