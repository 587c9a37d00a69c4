#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "events/temp_folder.h"
#include "platform/fake_platform.h"
#include "timeline/timeline_drawing.h"
#include "view/main_view.h"
#include "view/view_fixture.h"

namespace qev {
namespace {

using testing::DrawCall;
using testing::FakePlatform;
using testing::TempFolder;
using testing::WriteBytes;

// Scrolling, range changes and the selection redraw, driven through the view
// with slot ① holding `lines`.
class ScrollSelectionTest : public testing::ViewFixture {
 protected:
  void Start(const std::string& lines) {
    WriteSlot(0, "t", lines);
    ViewFixture::Start();
  }
  std::vector<const DrawCall*> MarksIn(Rgb color) const {
    std::vector<const DrawCall*> out;
    for (const DrawCall* c : platform.drawArea.Lines()) {
      if (c->color == color) out.push_back(c);
    }
    return out;
  }
  // Where the marks in `color` that nothing covers stand, left to right.
  std::vector<int> SeenMarkXs(Rgb color) const {
    std::vector<int> xs;
    for (const DrawCall* c : MarksIn(color)) {
      const DrawCall* top = platform.drawArea.TopAt(c->x, c->y);
      if (top->op == DrawCall::Op::kLine && top->color == color && top->x == c->x) {
        xs.push_back(c->x);
      }
    }
    std::ranges::sort(xs);
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    return xs;
  }
};

// At range 20 and scroll position 0 (era line at 7350) BC 2100, 2050 and
// 2000 lie at x 101, 246 and 390.
constexpr const char* kFarBc = "BC2000;1,1,,;;c;;;\r\nBC2050;1,1,,;;b;;;\r\nBC2100;1,1,,;;a;;;\r\n";

TEST_F(ScrollSelectionTest, StepsAtTheEndsOfTheBarStayThereAndStartOver) {
  Start(kFarBc);
  for (int i = 0; i < 8; ++i) Click(PanelArea::kRange, true);  // 7 → 20
  view->ScrollTimeline(ScrollCode::kLeft, 0);
  ASSERT_EQ(view->session()->visible().size(), 3);
  EXPECT_EQ(view->session()->visible().entries()[0].x1, 101);
  StepNext();
  ASSERT_EQ(view->session()->visible().selectedIndex(), 1);

  view->ScrollTimeline(ScrollCode::kLineLeft, 0);
  EXPECT_EQ(platform.thumb, 0);
  EXPECT_EQ(view->session()->savedScrollPos(), 0);
  EXPECT_EQ(view->session()->scale().originX(), 7350);
  EXPECT_EQ(view->session()->visible().selectedIndex(), 0);
  EXPECT_EQ(platform.PanelUtf8(InfoPanel::kRight), "できごと=a\r\n  メモ1  =\r\n  メモ2  =\r\n");

  view->ScrollTimeline(ScrollCode::kThumbPosition, 695);
  view->ScrollTimeline(ScrollCode::kPageRight, 0);
  EXPECT_EQ(platform.thumb, 700);
  EXPECT_EQ(view->session()->savedScrollPos(), 700);
  EXPECT_EQ(view->session()->scale().originX(), 20 * (350 - 700) + 350);
  EXPECT_TRUE(view->session()->visible().empty());
  EXPECT_EQ(platform.PanelUtf8(InfoPanel::kLeft), "");
}

TEST_F(ScrollSelectionTest, DraggingTheThumbRedrawsOnlyTheBareLine) {
  Start("AD0100;1,1,,;;a;;;\r\nAD0200;1,1,,;;b;;;\r\n");
  view->ScrollTimeline(ScrollCode::kThumbPosition, 350);
  ASSERT_EQ(view->session()->visible().size(), 2);
  StepNext();
  const Sjis left = platform.panelText[0];
  platform.drawArea.Clear();
  platform.view.Clear();

  view->ScrollTimeline(ScrollCode::kThumbTrack, 352);
  EXPECT_EQ(view->session()->scale().originX(), 310);
  EXPECT_EQ(platform.thumb, 352);
  EXPECT_EQ(view->session()->savedScrollPos(), 352);
  // Every point's mark moves with the line; no selection, lists and panels
  // as they were.
  const TimelineScale& scale = view->session()->scale();
  EXPECT_EQ(SeenMarkXs(kPointMarkColor),
            (std::vector{310 + scale.YearToOffset(100), 310 + scale.YearToOffset(200)}));
  EXPECT_TRUE(MarksIn(kSelectedMarkColor).empty());
  EXPECT_EQ(view->session()->visible().entries()[0].x1,
            350 + view->session()->scale().YearToOffset(100));
  EXPECT_EQ(view->session()->visible().selectedIndex(), 1);
  EXPECT_EQ(platform.panelText[0], left);

  // The release ends the drag with the full refresh.
  view->ScrollTimeline(ScrollCode::kEndScroll, 0);
  EXPECT_EQ(view->session()->scale().originX(), 310);
  EXPECT_EQ(view->session()->visible().entries()[0].x1,
            310 + view->session()->scale().YearToOffset(100));
  EXPECT_EQ(view->session()->visible().selectedIndex(), 0);
  EXPECT_EQ(MarksIn(kSelectedMarkColor).size(), 1u);
}

TEST_F(ScrollSelectionTest, RangeChangeMovesTheThumbAndTheNextStepStartsThere) {
  Start("AD0100;1,1,,;;a;;;\r\n");
  view->ScrollTimeline(ScrollCode::kThumbPosition, 365);  // era line at 50
  Click(PanelArea::kRange);
  EXPECT_EQ(view->session()->scale().originX(), 50 * 65 / 54);
  EXPECT_EQ(platform.thumb, 364);  // 350 - (60 - 350) / 20, truncated
  EXPECT_EQ(view->session()->scale().scrollPos(), 365);
  EXPECT_EQ(view->session()->savedScrollPos(), 365);

  view->ScrollTimeline(ScrollCode::kLineRight, 0);
  EXPECT_EQ(view->session()->savedScrollPos(), 365);
  EXPECT_EQ(view->session()->scale().originX(), 50);
  EXPECT_EQ(view->session()->scale().rangeIndex(), 8);
}

TEST_F(ScrollSelectionTest, SelectionMarksGoOverTheLine) {
  Start("AD0100;1,1,AD0300,;;a;;;\r\nAD0200;1,1,,;;b;;;\r\n");
  view->ScrollTimeline(ScrollCode::kThumbPosition, 350);
  const TimelineScale& scale = view->session()->scale();
  const int start = 350 + scale.YearToOffset(100);
  const int second = 350 + scale.YearToOffset(200);
  const int end = 350 + scale.YearToOffset(300);

  StepPrevious();  // on the first point: stays
  // The line on its background, the second point's mark, and over the
  // first one the selected start and its range end.
  EXPECT_EQ(platform.drawArea.FillAt(0, 0), BackgroundGrey(3));
  EXPECT_EQ(SeenMarkXs(kSelectedMarkColor), std::vector{start});
  EXPECT_EQ(SeenMarkXs(kRangeEndMarkColor), std::vector{end});
  EXPECT_EQ(SeenMarkXs(kPointMarkColor), std::vector{second});

  // The selection moves and comes back: the marks it leaves are taken away,
  // the point marks under them show again.
  Click(PanelArea::kYearDisplayMode);
  StepNext();
  EXPECT_EQ(SeenMarkXs(kSelectedMarkColor), std::vector{second});
  EXPECT_EQ(SeenMarkXs(kPointMarkColor), std::vector{start});
  StepPrevious();
  EXPECT_EQ(SeenMarkXs(kSelectedMarkColor), std::vector{start});
  EXPECT_EQ(SeenMarkXs(kPointMarkColor), std::vector{second});
  EXPECT_TRUE(SeenMarkXs(kRangeEndMarkColor).empty());

  // Marks hidden: the panels still show the selected point.
  Click(PanelArea::kPointDisplayMode, true);
  StepNext();
  EXPECT_TRUE(SeenMarkXs(kSelectedMarkColor).empty());
  EXPECT_TRUE(SeenMarkXs(kPointMarkColor).empty());
  EXPECT_EQ(platform.PanelUtf8(InfoPanel::kRight), "できごと=b\r\n  メモ1  =\r\n  メモ2  =\r\n");
}

TEST_F(ScrollSelectionTest, NoVisiblePointRedrawsTheLineAndEmptiesThePanels) {
  Start("AD0100;1,1,,;;a;;;\r\n");
  view->ScrollTimeline(ScrollCode::kThumbPosition, 350);
  ASSERT_FALSE(platform.PanelUtf8(InfoPanel::kLeft).empty());
  platform.drawArea.Clear();
  view->ScrollTimeline(ScrollCode::kRight, 0);
  EXPECT_TRUE(view->session()->visible().empty());
  EXPECT_EQ(platform.PanelUtf8(InfoPanel::kLeft), "");
  EXPECT_EQ(platform.PanelUtf8(InfoPanel::kRight), "");
  EXPECT_FALSE(platform.drawArea.Fills().empty());
  EXPECT_TRUE(MarksIn(kSelectedMarkColor).empty());

  // The selection operations have nothing to act on.
  platform.drawArea.Clear();
  StepNext();
  ClickAbove(300);
  EXPECT_TRUE(platform.drawArea.calls.empty());
}

}  // namespace
}  // namespace qev
