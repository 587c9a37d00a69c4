#pragma once

namespace qev {

// What the drawing area is meant to show (the page buttons switch it).
enum class ScreenPage { kMain = 0, kDiagram = 1, kHelp = 3 };

// The help pages P1..P4.
inline constexpr int kHelpPageCount = 4;

// What was last drawn into the drawing area. The timeline clicks act only
// while it is the timeline: a help page or the diagram has no points to pick.
enum class DrawAreaContent { kTimeline = 0, kHelpPage = 1, kDiagram = 2 };

}  // namespace qev
