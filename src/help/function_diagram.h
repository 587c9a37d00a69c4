#pragma once

#include <string_view>

#include "platform/canvas.h"
#include "platform/screen_layout.h"

namespace qev {

// The bundled picture of the main screen (a 1024 x 768 screenshot of the
// program at half size) and where it sits in the drawing area. It is placed
// in pixels, not per mille, so the callouts meet its parts only on a
// 1024 x 768 screen.
inline constexpr std::string_view kMainScreenPicture = "main_screen";
inline constexpr int kPictureX = 256;
inline constexpr int kPictureY = 65;
inline constexpr int kPictureWidth = 512;
inline constexpr int kPictureHeight = 384;

// Draws the function diagram over the whole drawing area: the picture of
// the main screen, its numbered callouts with their lines, and the four
// links to the help pages (DiagramLinkRect gives where they answer clicks).
void DrawFunctionDiagram(Canvas& drawArea, const ScreenLayout& layout);

}  // namespace qev
