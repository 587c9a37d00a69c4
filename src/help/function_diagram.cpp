#include "help/function_diagram.h"

#include <array>
#include <vector>

#include "help/help_pages.h"
#include "panel/panel_areas.h"
#include "text/cp932.h"

namespace qev {

namespace {

// Positions are per mille of the drawing area's width (x) and height (y).
struct CalloutLine {
  int x1, y1, x2, y2;
};

struct Callout {
  std::string_view label;  // UTF-8
  int x, y;
  std::vector<CalloutLine> lines;
};

// In drawing order. " 50 " is there twice, left and right of the row of
// file labels it points at.
const std::vector<Callout>& Callouts() {
  static const std::vector<Callout> callouts{
      {" 1 ", 690, 70, {{698, 105, 330, 185}, {698, 105, 740, 185}}},
      {" 2 ", 210, 120, {{230, 140, 266, 188}}},
      {" 5 ", 180, 370, {{200, 390, 266, 250}, {200, 390, 266, 600}}},
      {" 7 ", 150, 620, {{180, 640, 290, 640}}},
      {" 10 ", 150, 735, {{180, 750, 300, 750}}},
      {" 3 ", 870, 105, {{870, 120, 770, 188}}},
      {" 4 ", 810, 180, {{810, 200, 590, 275}}},
      {" 6 ", 870, 380, {{870, 400, 770, 250}, {870, 400, 770, 600}}},
      {" 8 ", 870, 580, {{870, 600, 528, 700}}},
      {" 20 ", 870, 735, {{870, 750, 708, 750}}},
      {" 30 ", 270, 870, {{295, 885, 316, 780}}},
      {" 31 ", 390, 870, {{415, 885, 436, 780}}},
      {" 32 ", 450, 870, {{475, 885, 496, 780}}},
      {" 33 ", 570, 870, {{570, 885, 540, 780}}},
      {" 34 ", 630, 870, {{630, 890, 600, 780}}},
      {" 35 ", 690, 870, {{690, 890, 660, 780}}},
      {" 36 ", 750, 870, {{750, 885, 720, 780}}},
      {" 40 ", 210, 910, {{235, 925, 295, 800}}},
      {" 41 ", 270, 910, {{295, 925, 326, 800}}},
      {" 42 ", 330, 910, {{355, 925, 386, 800}}},
      {" 43 ", 390, 910, {{415, 925, 446, 800}}},
      {" 44 ", 450, 910, {{475, 925, 506, 800}}},
      {" 45 ", 570, 910, {{570, 930, 540, 800}}},
      {" 46 ", 630, 910, {{630, 930, 600, 800}}},
      {" 47 ", 660, 910, {{660, 930, 630, 800}}},
      {" 48 ", 690, 910, {{690, 930, 660, 800}}},
      {" 49 ", 750, 910, {{750, 930, 720, 800}}},
      {" 4A ", 810, 760, {{810, 780, 750, 800}}},
      {" 50 ", 150, 810, {{180, 820, 272, 820}}},
      {" 50 ", 870, 810, {{870, 820, 750, 820}}},
      {" 60 ", 210, 950, {{235, 965, 286, 840}}},
      {" 61 ", 330, 950, {{355, 965, 386, 840}}},
      {" 62 ", 390, 950, {{415, 965, 446, 840}}},
      {" 63 ", 450, 950, {{475, 965, 506, 840}}},
      {" 64 ", 570, 950, {{570, 970, 540, 840}}},
      {" 65 ", 630, 950, {{630, 970, 600, 840}}},
      {" 66 ", 750, 950, {{750, 970, 720, 840}}},
      {" 67 ", 810, 870, {{810, 885, 765, 840}}},
  };
  return callouts;
}

constexpr std::array<std::string_view, kHelpPageCount> kLinks{
    "[P1(  1 ～  8)の説明へ]",
    "[P2(10 ～ 36)の説明へ]",
    "[P3(40 ～ 50)の説明へ]",
    "[P4(60 ～ 67)の説明へ]",
};

}  // namespace

void DrawFunctionDiagram(Canvas& drawArea, const ScreenLayout& layout) {
  HelpSurface surface(drawArea, layout);
  auto text = [&](int x, int y, std::string_view utf8) { surface.Text(x, y, utf8); };
  drawArea.DrawPicture(kPictureX, kPictureY, kPictureWidth, kPictureHeight, kMainScreenPicture);
  drawArea.SetFont(kHelpFace, kHelpTitleHeight);
  text(270, 32, " ● [ Q E V ライン式 歴史年代 暗記法 ] 機能図 ●");

  drawArea.SetFont(kHelpFace, kHelpTextHeight);
  for (const Callout& c : Callouts()) {
    text(c.x, c.y, c.label);
    for (const CalloutLine& l : c.lines) {
      drawArea.MoveTo(surface.X(l.x1), surface.Y(l.y1));
      drawArea.LineTo(surface.X(l.x2), surface.Y(l.y2));
    }
  }

  text(12, 60, "表示したいページをクリックして下さい。");
  // Each link sits where a click opens its page.
  for (int k = 0; k < kHelpPageCount; ++k) {
    const PanelRect r = DiagramLinkRect(layout, k);
    drawArea.TextOut(r.left - layout.drawAreaX(), r.top - layout.drawAreaY(),
                     Cp932Literal(kLinks[static_cast<std::size_t>(k)]));
  }
}

}  // namespace qev
