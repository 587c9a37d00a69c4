#include "panel/panel_areas.h"
#include "panel/slot_area.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qev {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Rectangles worked out by hand from the per-mille columns; u = 2, v = 1 at
// both sizes, row 1 at 466 / 597, row 2 at 483 / 619, row 4 at 516 / 661.
TEST(PanelAreas, RectanglesAtTwoScreenSizes) {
  const ScreenLayout small{800, 600};
  const ScreenLayout big{1024, 768};
  struct Case {
    const ScreenLayout& layout;
    PanelArea area;
    PanelRect rect;
  };
  const Case cases[] = {
      {small, PanelArea::kImportance3, {100, 466, 112, 478}},
      {small, PanelArea::kMemorisation5, {296, 466, 308, 478}},
      {small, PanelArea::kEditCancel, {752, 466, 784, 478}},
      {small, PanelArea::kRandom, {316, 483, 382, 495}},
      {small, PanelArea::kShowMemo1, {476, 483, 526, 495}},
      {small, PanelArea::kSlot1, {0, 500, 96, 512}},  // up to where ②'s text begins
      {small, PanelArea::kSlot10, {704, 500, 778, 512}},
      {small, PanelArea::kBrightness, {752, 516, 776, 528}},
      {big, PanelArea::kImportanceChange, {582, 597, 594, 609}},
      {big, PanelArea::kYearDisplayMode, {750, 619, 798, 631}},
      {big, PanelArea::kSlot1, {6, 640, 100, 652}},  // no neighbour to clip at
      {big, PanelArea::kHelp, {823, 661, 921, 673}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AreaRect(c.layout, c.area), c.rect) << static_cast<int>(c.area);
  }
  EXPECT_EQ(StateLabelPressRect(small), (PanelRect{264, 516, 312, 528}));
}

// Where the unclipped 47u rectangles of two slot labels overlapped, a click
// flipped both slots; every click on the row must now hit at most one, and
// where a left click and a right click both hit a slot, the same one.
TEST(PanelAreas, EachPointOfTheSlotRowHitsAtMostOneSlot) {
  for (const ScreenLayout l :
       {ScreenLayout{800, 600}, ScreenLayout{1024, 768}, ScreenLayout{1280, 1024}}) {
    for (int x = 0; x < l.W; ++x) {
      const std::vector<PanelArea> areas = AreasAt(l, x, l.row3());
      ASSERT_LE(areas.size(), 1u) << l.W << " x " << x;
      const std::optional<int> menu = SlotLabelAt(l, x, l.row3());
      if (!areas.empty() && SlotOf(areas[0]) && menu) {
        EXPECT_EQ(SlotOf(areas[0]), menu) << l.W << " x " << x;
      }
    }
  }
  // The last letters of ①'s "日本史(古代)" at 800 wide.
  const ScreenLayout small{800, 600};
  EXPECT_THAT(AreasAt(small, 79, 502), ElementsAre(SlotArea(0)));
  EXPECT_EQ(SlotLabelAt(small, 79, 502), 0);
  EXPECT_THAT(AreasAt(small, 96, 511), ElementsAre(SlotArea(1)));
  EXPECT_THAT(AreasAt(small, 75, 512), IsEmpty());
}

// The function diagram's links, one under another in the drawing area's top
// left; 1024 x 768 is the size the diagram's picture is made for.
TEST(PanelAreas, DiagramLinksAtTwoScreenSizes) {
  const ScreenLayout small{800, 600};
  const ScreenLayout big{1024, 768};
  EXPECT_EQ(DiagramLinkRect(big, 0), (PanelRect{26, 70, 184, 85}));
  EXPECT_EQ(DiagramLinkRect(big, 3), (PanelRect{26, 145, 184, 160}));
  EXPECT_EQ(DiagramLinkRect(small, 1), (PanelRect{21, 74, 144, 85}));
  EXPECT_EQ(DiagramLinkRect(small, 4), PanelRect{});
  EXPECT_EQ(DiagramLinkRect(small, -1), PanelRect{});
}

}  // namespace
}  // namespace qev
