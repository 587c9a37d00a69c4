#include "events/edit_history.h"
#include "events/slot_lines.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace qev {
namespace {

// Slot 3 holding a, b, c as read (unchanged).
EventStore ThreeLines() {
  EventStore store;
  store.slots[3].SetLines({"a"_sj, "b"_sj, "c"_sj});
  store.slots[3].changed = 0;
  return store;
}

std::vector<EventId> IdsOf(const FileSlot& slot) {
  std::vector<EventId> ids;
  for (std::size_t i = 0; i < slot.Count(); ++i) ids.push_back(slot.IdAt(i));
  return ids;
}

// Each command changes the lines, marks the slot changed, and undoes to the
// very lines and ids read (unchanged again), then redoes to the same result.
TEST(EditHistoryTest, EveryCommandUndoesAndRedoesByteForByte) {
  struct Case {
    const char* name;
    std::function<void(EditHistory&, EventStore&)> edit;
    std::vector<Sjis> after;
  };
  const Case cases[] = {
      {"replace",
       [](EditHistory& h, EventStore& s) { h.Replace(s, s.slots[3].IdAt(1), "B"_sj); },
       {"a"_sj, "B"_sj, "c"_sj}},
      {"insert",
       [](EditHistory& h, EventStore& s) { h.Insert(s, 3, 1, "x"_sj); },
       {"a"_sj, "x"_sj, "b"_sj, "c"_sj}},
      {"insert past the end",
       [](EditHistory& h, EventStore& s) { h.Insert(s, 3, 99, "x"_sj); },
       {"a"_sj, "b"_sj, "c"_sj, "x"_sj}},
      {"remove",
       [](EditHistory& h, EventStore& s) { h.Remove(s, s.slots[3].IdAt(0)); },
       {"b"_sj, "c"_sj}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EventStore store = ThreeLines();
    const FileSlot& slot = store.slots[3];
    const std::vector<Sjis> read = LinesOf(slot);
    const std::vector<EventId> ids = IdsOf(slot);
    EditHistory h;
    c.edit(h, store);
    const std::vector<EventId> editedIds = IdsOf(slot);
    EXPECT_EQ(LinesOf(slot), c.after);
    EXPECT_EQ(slot.changed, 1);
    ASSERT_TRUE(h.Undo(store));
    EXPECT_EQ(LinesOf(slot), read);
    EXPECT_EQ(IdsOf(slot), ids);
    EXPECT_EQ(slot.changed, 0);
    ASSERT_TRUE(h.Redo(store));
    EXPECT_EQ(LinesOf(slot), c.after);
    EXPECT_EQ(IdsOf(slot), editedIds);
    EXPECT_EQ(slot.changed, 1);
  }
}

// Undo takes the latest change first and follows its event wherever later
// inserts moved it; a new change drops what could be redone; forgetting a
// slot leaves the others; an unknown event records nothing.
TEST(EditHistoryTest, OrderIdentityAndForgetting) {
  EventStore store = ThreeLines();
  FileSlot& slot = store.slots[3];
  store.slots[5].SetLines({"p"_sj});
  EditHistory h;
  const EventId b = slot.IdAt(1);
  ASSERT_TRUE(h.Replace(store, b, "B"_sj));
  h.Insert(store, 3, 0, "first"_sj);
  ASSERT_TRUE(h.Replace(store, store.slots[5].IdAt(0), "P"_sj));
  EXPECT_FALSE(h.Replace(store, EventId{3, 0}, "lost"_sj));
  EXPECT_FALSE(h.Remove(store, EventId{}));

  EXPECT_EQ(h.Undo(store)->id.slot, 5);
  EXPECT_EQ(h.Redo(store)->after, "P"_sj);
  ASSERT_TRUE(h.Undo(store));
  h.Remove(store, slot.IdAt(3));  // "c": the undone change of slot 5 goes
  EXPECT_FALSE(h.Redo(store));
  h.ForgetSlot(5);
  EXPECT_EQ(h.Undo(store)->kind, EditKind::kRemove);
  EXPECT_EQ(h.Undo(store)->kind, EditKind::kInsert);
  EXPECT_EQ(h.Undo(store)->id, b);
  EXPECT_FALSE(h.Undo(store));
  EXPECT_EQ(LinesOf(slot), (std::vector<Sjis>{"a"_sj, "b"_sj, "c"_sj}));
  EXPECT_EQ(slot.changed, 0);
  EXPECT_EQ(LinesOf(store.slots[5]), std::vector<Sjis>{"p"_sj});
}

}  // namespace
}  // namespace qev
