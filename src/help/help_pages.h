#pragma once

#include <string_view>

#include "panel/screen_page.h"
#include "platform/canvas.h"
#include "platform/screen_layout.h"

namespace qev {

// The help pages and the function diagram share their look: black text on
// white cells (a fresh context's colours) over this cyan, in a Mincho face.
inline constexpr Rgb kHelpBackground{10, 255, 255};
inline constexpr std::string_view kHelpFace = "MS P明朝";
inline constexpr int kHelpTitleHeight = 16;
inline constexpr int kHelpTextHeight = 12;

// The drawing area made ready for a help page or the diagram: a fresh
// context, cleared to the help ground. Positions are per mille of the area.
class HelpSurface {
 public:
  HelpSurface(Canvas& drawArea, const ScreenLayout& layout);

  int X(int perMille) const { return width_ * perMille / 1000; }
  int Y(int perMille) const { return height_ * perMille / 1000; }
  // A UTF-8 source literal at (x, y) per mille.
  void Text(int x, int y, std::string_view utf8);

 private:
  Canvas& canvas_;
  int width_;
  int height_;
};

// Draws help page `page` (0..3 for P1..P4) over the whole drawing area: the
// title, the numbered entries (the numbers are the function diagram's
// callouts) and the footnote on paging. Positions are per mille of the
// drawing area; the fonts keep their pixel sizes on every screen. Any other
// page number draws nothing.
void DrawHelpPage(Canvas& drawArea, const ScreenLayout& layout, int page);

}  // namespace qev
