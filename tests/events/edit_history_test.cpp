#include "events/edit_history.h"

#include <gtest/gtest.h>

namespace qev {
namespace {

// Undo takes the latest change first, redo gives it back, a new change
// drops what could be redone, and forgetting a slot leaves the others.
TEST(EditHistoryTest, UndoRedoInOrderAndForgetOneSlot) {
  EditHistory h;
  h.Record({0, 1, Sjis("a"), Sjis("b"), 0});
  h.Record({1, 0, Sjis("c"), Sjis("d"), 0});
  h.Record({0, 1, Sjis("b"), Sjis("e"), 1});
  EXPECT_EQ(h.TakeUndo()->after, "e");
  EXPECT_EQ(h.TakeUndo()->slot, 1);
  EXPECT_EQ(h.TakeRedo()->after, "d");
  h.Record({2, 0, Sjis("x"), Sjis("y"), 0});
  EXPECT_FALSE(h.canRedo());
  h.ForgetSlot(0);
  EXPECT_EQ(h.TakeUndo()->slot, 2);
  EXPECT_EQ(h.TakeUndo()->slot, 1);
  EXPECT_FALSE(h.TakeUndo().has_value());
}

}  // namespace
}  // namespace qev
