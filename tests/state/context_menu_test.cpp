#include "state/context_menu.h"
#include "panel/panel_areas.h"

#include <gtest/gtest.h>

namespace qev {
namespace {

TEST(ContextMenu, SlotLabelRectanglesInViewCoordinates) {
  ScreenLayout l{800, 600};  // u = 2, v = 1, row 3 at 500
  EXPECT_EQ(SlotLabelAt(l, 24 - 8, 500), 0);
  EXPECT_EQ(SlotLabelAt(l, 24 - 9, 500), std::nullopt);
  EXPECT_EQ(SlotLabelAt(l, 24 + 71, 511), 0);  // overlap with ②: the left label wins
  EXPECT_EQ(SlotLabelAt(l, 24 + 72, 511), 1);
  EXPECT_EQ(SlotLabelAt(l, 24, 512), std::nullopt);
  EXPECT_EQ(SlotLabelAt(l, 24, 499), std::nullopt);
  ScreenLayout big{1024, 768};  // u = 2, v = 1, row 3 at 640; slot ⑩ at X(885) = 906
  EXPECT_EQ(SlotLabelAt(big, 906 + 71, 645), 9);
  EXPECT_EQ(SlotLabelAt(big, 906 + 72, 645), std::nullopt);
}

TEST(ContextMenu, MenusOfEmptyAndLoadedSlots) {
  auto empty = SlotMenu(false);
  ASSERT_EQ(empty.size(), 2u);
  EXPECT_EQ(empty[0].command, MenuCommand::kReadFile);
  EXPECT_EQ(empty[0].text, "ファイルを読み込む");
  EXPECT_EQ(empty[1].command, MenuCommand::kNewFile);
  EXPECT_EQ(empty[1].text, "新しいファイルを作る");
  auto loaded = SlotMenu(true);
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0].text, "ファイルを保存");
  EXPECT_EQ(loaded[1].command, MenuCommand::kEraseFile);
}

}  // namespace
}  // namespace qev
