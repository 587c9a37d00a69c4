#include <gtest/gtest.h>

#include "platform/fake_platform.h"

namespace qev {
namespace {

TEST(PanelLines, CountedBetweenLineBreaksWithTheEmptyLastLine) {
  testing::FakePlatform p;
  p.SetPanelText(InfoPanel::kRight, "H;x;;\r\nD1;11111;\r\n"_sj);
  EXPECT_EQ(p.PanelLineCount(InfoPanel::kRight), 3);
  EXPECT_EQ(p.PanelLine(InfoPanel::kRight, 1, 255), "D1;11111;");
  EXPECT_EQ(p.PanelLine(InfoPanel::kRight, 1, 4), "D1;1");
  EXPECT_EQ(p.PanelLine(InfoPanel::kRight, 2, 255), "");
  EXPECT_EQ(p.PanelLine(InfoPanel::kRight, 3, 255), "");
  p.SetPanelText(InfoPanel::kLeft, ""_sj);
  EXPECT_EQ(p.PanelLineCount(InfoPanel::kLeft), 1);
}

}  // namespace
}  // namespace qev
