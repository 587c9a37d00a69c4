#include "help/function_diagram.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "help/help_pages.h"
#include "platform/recording_canvas.h"

namespace qev {
namespace {

using testing::DrawCall;
using testing::RecordingCanvas;

// On 1024 x 768 the drawing area is 988 x 503; on 800 x 600, 772 x 393 at
// (12, 12).
TEST(FunctionDiagram, PictureSitsUnscaledAtFixedPixelsOverTheFill) {
  for (const ScreenLayout layout : {ScreenLayout{800, 600}, ScreenLayout{1024, 768}}) {
    RecordingCanvas canvas;
    DrawFunctionDiagram(canvas, layout);
    ASSERT_GE(canvas.calls.size(), 3u);
    EXPECT_EQ(canvas.calls[0].op, DrawCall::Op::kReset);
    const DrawCall& fill = canvas.calls[1];
    EXPECT_EQ(fill.op, DrawCall::Op::kFill);
    EXPECT_EQ(fill.x2, layout.drawAreaWidth());
    EXPECT_EQ(fill.y2, layout.drawAreaHeight());
    EXPECT_EQ(fill.color, kHelpBackground);
    // Drawn before every text and line, so the callouts lie on top of it.
    const DrawCall& picture = canvas.calls[2];
    EXPECT_EQ(picture.op, DrawCall::Op::kPicture);
    EXPECT_EQ(picture.x, 256);
    EXPECT_EQ(picture.y, 65);
    EXPECT_EQ(picture.x2, 512);
    EXPECT_EQ(picture.y2, 384);
    EXPECT_EQ(picture.utf8, kMainScreenPicture);
  }
}

TEST(FunctionDiagram, TitleCalloutsAndLinksAtTheirPositions) {
  const ScreenLayout layout{1024, 768};
  RecordingCanvas canvas;
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
  // the first is callout 1's first line, the last callout 67's.
  const auto lines = canvas.Lines();
  ASSERT_EQ(lines.size(), 41u);
  for (const DrawCall* l : lines) {
    EXPECT_EQ(l->color, (Rgb{0, 0, 0}));
    EXPECT_EQ(l->penWidth, 1);
  }
  EXPECT_EQ((std::array{lines.front()->x, lines.front()->y, lines.front()->x2, lines.front()->y2}),
            (std::array{689, 52, 326, 93}));
  EXPECT_EQ((std::array{lines.back()->x, lines.back()->y, lines.back()->x2, lines.back()->y2}),
            (std::array{800, 445, 755, 422}));
  EXPECT_EQ(canvas.Texts().size(), 1u + 38u + 5u);
}

}  // namespace
}  // namespace qev
