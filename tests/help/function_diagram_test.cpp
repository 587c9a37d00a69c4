#include "help/function_diagram.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "help/help_pages.h"
#include "platform/recording_canvas.h"

namespace qev {
namespace {

using testing::DrawCall;
using testing::RecordingCanvas;

// On 1024 x 768 the drawing area is 988 x 503; on 800 x 600, 772 x 393 at
// (12, 12). The picture lies unscaled, 512 x 384 at (256, 65), over the fill
// and under every callout and link.
TEST(FunctionDiagram, PictureSitsUnscaledAtFixedPixelsOverTheFill) {
  struct Pixel {
    int x, y;
    bool picture;  // else the fill
  };
  struct Case {
    ScreenLayout layout;
    std::vector<Pixel> pixels;
  };
  const std::vector<Pixel> common = {
      {0, 0, false},   {255, 65, false}, {256, 64, false},
      {256, 65, true}, {767, 65, true},  {768, 65, false},
  };
  const Case cases[] = {
      {{800, 600}, {{256, 392, true}, {771, 392, false}}},
      {{1024, 768}, {{256, 448, true}, {767, 448, true}, {256, 449, false}, {987, 502, false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layout.W);
    RecordingCanvas canvas;
    DrawFunctionDiagram(canvas, c.layout);
    std::vector<Pixel> pixels = common;
    pixels.insert(pixels.end(), c.pixels.begin(), c.pixels.end());
    for (const Pixel& p : pixels) {
      SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
      const DrawCall* top = canvas.TopAt(p.x, p.y);
      ASSERT_NE(top, nullptr);
      if (p.picture) {
        EXPECT_EQ(top->op, DrawCall::Op::kPicture);
        EXPECT_EQ(top->utf8, kMainScreenPicture);
      } else {
        EXPECT_EQ(canvas.FillAt(p.x, p.y), kHelpBackground);
      }
    }
    EXPECT_EQ(canvas.TopAt(c.layout.drawAreaWidth(), 0), nullptr);
    EXPECT_EQ(canvas.TopAt(0, c.layout.drawAreaHeight()), nullptr);
    for (const DrawCall* callout : canvas.Texts()) {
      EXPECT_EQ(canvas.TopAt(callout->x, callout->y)->op, DrawCall::Op::kText) << callout->utf8;
    }
    for (const DrawCall* l : canvas.Lines()) {
      const DrawCall::Op top = canvas.TopAt(l->x, l->y)->op;
      EXPECT_TRUE(top == DrawCall::Op::kLine || top == DrawCall::Op::kText) << l->x << "," << l->y;
    }
  }
}

TEST(FunctionDiagram, TitleCalloutsAndLinksAtTheirPositions) {
  const ScreenLayout layout{1024, 768};
  RecordingCanvas canvas;
  canvas.LeaveForeignState();
  DrawFunctionDiagram(canvas, layout);

  struct TextCase {
    std::string text;
    int x, y, fontHeight;
  };
  const TextCase texts[] = {
      {" ● [ Q E V ライン式 歴史年代 暗記法 ] 機能図 ●", 266, 16, 16},
      {" 1 ", 681, 35, 12},
      {" 67 ", 800, 437, 12},
      {"表示したいページをクリックして下さい。", 11, 30, 12},
      {"[P1(  1 ～  8)の説明へ]", 11, 55, 12},
      {"[P4(60 ～ 67)の説明へ]", 11, 130, 12},
  };
  for (const TextCase& c : texts) {
    const DrawCall* t = canvas.LastText(c.text);
    ASSERT_NE(t, nullptr) << c.text;
    EXPECT_EQ(t->x, c.x) << c.text;
    EXPECT_EQ(t->y, c.y) << c.text;
    EXPECT_EQ(t->fontHeight, c.fontHeight) << c.text;
    EXPECT_EQ(t->color, (Rgb{0, 0, 0})) << c.text;
    EXPECT_EQ(t->mode, BackgroundMode::kOpaque) << c.text;
  }
  // " 50 " points at the file labels from both sides.
  int fifties = 0;
  for (const DrawCall* t : canvas.Texts()) fifties += t->utf8 == " 50 ";
  EXPECT_EQ(fifties, 2);

  // 38 callouts with 41 lines among them, in the default black 1-pixel pen;
  // callout 1's first line and callout 67's.
  const auto lines = canvas.Lines();
  ASSERT_EQ(lines.size(), 41u);
  for (const DrawCall* l : lines) {
    EXPECT_EQ(l->color, (Rgb{0, 0, 0}));
    EXPECT_EQ(l->penWidth, 1);
  }
  EXPECT_NE(canvas.LineFrom(689, 52, 326, 93), nullptr);
  EXPECT_NE(canvas.LineFrom(800, 445, 755, 422), nullptr);
  EXPECT_EQ(canvas.Texts().size(), 1u + 38u + 5u);
}

}  // namespace
}  // namespace qev
