#include "help/help_pages.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/recording_canvas.h"

namespace qev {
namespace {

using testing::DrawCall;
using testing::RecordingCanvas;

// The drawing area is 772 x 393 on 800 x 600 and 988 x 503 on 1024 x 768;
// positions below are worked out by hand from the per-mille values.
TEST(HelpPages, TextsSitAtTheirPerMillePositionsInTheirFonts) {
  const ScreenLayout small{800, 600};
  const ScreenLayout big{1024, 768};
  struct Case {
    const ScreenLayout& layout;
    int page;
    std::string text;
    int x, y, fontHeight;
  };
  const Case cases[] = {
      {small, 0, "   ■ [ Q E V ライン式 歴史年代 暗記法 ] の機能説明 _ P1 ■", 165, 11, 16},
      {small, 0, "  NO.", 7, 23, 12},
      {small, 0, "   7", 9, 271, 12},
      {small, 0, "  QEVラインを左右に移動したいときに使用します。 ", 136, 330, 12},
      // The second further line of entry 40.
      {small, 1,
       "  「記憶度優先」を選択すると記憶度①～⑤が非選択にされていると、たとえ重要度①～⑤が選択"
       "にされていても表示されません。 ",
       105, 192, 12},
      // P3's footnote sits lower than the others.
      {small, 2,
       " (注) 左クリックするとページがプラスされ、右クリックするとマイナスされます。[ "
       "暗記法の機能説明 ] をクリックすると元の画面に戻ります。",
       9, 379, 12},
      {small, 3,
       "[動作状態]    = 右クリックすると動作状態を右表示欄に表示します。「保存/"
       "入力」に表示が変わります。「保存/入力」の状態で右クリックすると、",
       44, 113, 12},
      // Entry 67's second line starts in the first-line column, with
      // ideographic spaces.
      {small, 3,
       "  　　　　　　　　左クリックすると「明度の数値」が大きくなり、右クリックすると「明度の数値"
       "」が小さくなります。 ",
       44, 330, 12},
      {big, 2, "  4A", 11, 427, 12},
      {big, 2, "  非表示を選択すると「メモ2表示」の色がグレーに表示され右表示欄に表示されません。 ",
       170, 326, 12},
      {big, 3, "   ■ [ Q E V ライン式 歴史年代 暗記法 ] の機能説明 _ P4 ■", 212, 15, 16},
  };
  for (const Case& c : cases) {
    RecordingCanvas canvas;
    DrawHelpPage(canvas, c.layout, c.page);
    const DrawCall* t = canvas.LastText(c.text);
    ASSERT_NE(t, nullptr) << c.text;
    EXPECT_EQ(t->x, c.x) << c.text;
    EXPECT_EQ(t->y, c.y) << c.text;
    EXPECT_EQ(t->fontHeight, c.fontHeight) << c.text;
    EXPECT_EQ(t->face, kHelpFace) << c.text;
  }
}

// Every page starts from a fresh context whatever an earlier pass left,
// covers the whole drawing area with its fill, and draws all its entries in
// black on opaque white inside it, over the fill.
TEST(HelpPages, EachPageFillsTheAreaAndDrawsEveryLineInside) {
  const ScreenLayout layout{800, 600};
  const int textCounts[kHelpPageCount] = {27, 30, 37, 26};
  for (int page = 0; page < kHelpPageCount; ++page) {
    SCOPED_TRACE(page);
    RecordingCanvas canvas;
    canvas.LeaveForeignState();
    DrawHelpPage(canvas, layout, page);
    EXPECT_EQ(canvas.FillAt(0, 0), kHelpBackground);
    EXPECT_EQ(canvas.FillAt(771, 392), kHelpBackground);
    EXPECT_EQ(canvas.TopAt(772, 0), nullptr);
    EXPECT_EQ(canvas.TopAt(0, 393), nullptr);

    const auto texts = canvas.Texts();
    EXPECT_EQ(static_cast<int>(texts.size()), textCounts[page]);
    for (const DrawCall* t : texts) {
      EXPECT_EQ(t->color, (Rgb{0, 0, 0})) << t->utf8;
      EXPECT_EQ(t->background, (Rgb{255, 255, 255})) << t->utf8;
      EXPECT_EQ(t->mode, BackgroundMode::kOpaque) << t->utf8;
      EXPECT_LT(t->x, 772) << t->utf8;
      EXPECT_LE(t->y + t->fontHeight, 393) << t->utf8;
      EXPECT_EQ(canvas.TopAt(t->x, t->y)->op, DrawCall::Op::kText) << t->utf8;
    }
  }
}

TEST(HelpPages, APageNumberOutsideOneToFourDrawsNothing) {
  for (int page : {-1, kHelpPageCount}) {
    RecordingCanvas canvas;
    DrawHelpPage(canvas, ScreenLayout{800, 600}, page);
    EXPECT_TRUE(canvas.calls.empty()) << page;
  }
}

}  // namespace
}  // namespace qev
