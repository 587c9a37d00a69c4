#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "text/cp932.h"

namespace qev {

// One change of an event line in a slot: the line before and after it, and
// the slot's changed flag before it.
struct LineChange {
  int slot = 0;
  std::size_t line = 0;
  Sjis before;
  Sjis after;
  int changedBefore = 0;
};

// The undo and redo history of the changes to event lines since each slot
// was last read, saved or emptied. Undoing a change puts its line and the
// slot's changed flag back as they were before it, so a slot undone to what
// its file holds counts as unchanged again.
class EditHistory {
 public:
  // A new change; whatever was undone before it can no longer be redone.
  void Record(LineChange change);
  // The change to undo (moved to the redo side), or nothing.
  std::optional<LineChange> TakeUndo();
  // The change to redo (moved back to the undo side), or nothing.
  std::optional<LineChange> TakeRedo();
  // Slot k's lines have been replaced, saved or emptied: its changes can no
  // longer be undone or redone.
  void ForgetSlot(int k);

  bool canUndo() const { return !undo_.empty(); }
  bool canRedo() const { return !redo_.empty(); }

 private:
  std::vector<LineChange> undo_;
  std::vector<LineChange> redo_;
};

}  // namespace qev
