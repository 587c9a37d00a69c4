#include "view/redraw_batch.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/fake_platform.h"

namespace qev {
namespace {

using Region = RedrawBatch::Region;

class RedrawBatchTest : public ::testing::Test {
 protected:
  // A drawing that notes its name in the order drawn.
  RedrawBatch::Drawing Note(std::string name) {
    return [this, name](Platform&) { drawn += name; };
  }
  testing::FakePlatform screen;
  RedrawBatch batch{screen};
  BatchedPlatform platform{screen, batch};
  std::string drawn;
};

TEST_F(RedrawBatchTest, OutsideAScopeEveryDrawingHappensAtOnce) {
  batch.Draw(Region::kTimeline, true, Note("a"));
  batch.Draw(Region::kTimeline, true, Note("b"));
  EXPECT_EQ(drawn, "ab");
}

TEST_F(RedrawBatchTest, ACoveringDrawingDropsOnlyTheEarlierOnesOfItsRegion) {
  {
    RedrawBatch::Scope outer(batch);
    {
      RedrawBatch::Scope inner(batch);
      batch.Draw(Region::kTimeline, true, Note("t1"));
      batch.Draw(Region::kTimeline, false, Note("m1"));
      batch.Draw(Region::kControlPanel, false, Note("p1"));
      batch.Draw(Region::kControlPanel, true, Note("p2"));
      batch.Draw(Region::kTimeline, true, Note("t2"));
      batch.Draw(Region::kTimeline, false, Note("m2"));
    }
    EXPECT_EQ(drawn, "");  // the inner scope's end is not the handler's
  }
  EXPECT_EQ(drawn, "p2t2m2");
}

TEST_F(RedrawBatchTest, WhatIsDrawnOrShownDirectlyComesAfterTheHeldBackDrawings) {
  const std::vector<std::function<void()>> direct = {
      [&] { platform.ViewCanvas(); },
      [&] { platform.DrawAreaCanvas(); },
      [&] { platform.ShowMessage("m"); },
      [&] { platform.AskToSave("s"); },
      [&] { platform.FileDialog(FileDialogKind::kOpen, "f"); },
      [&] { platform.PopupMenu({}, 0, 0); },
  };
  for (const auto& act : direct) {
    drawn.clear();
    RedrawBatch::Scope scope(batch);
    batch.Draw(Region::kTimeline, false, Note("t"));
    act();
    EXPECT_EQ(drawn, "t");
  }
}

}  // namespace
}  // namespace qev
