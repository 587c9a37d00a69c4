#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "events/event_store.h"
#include "text/cp932.h"

namespace qev {

enum class EditKind { kReplace, kInsert, kRemove };

// One change of a slot's event lines, with what undoing it takes: the line
// before and after it (a replace), the line inserted or removed and where,
// and the slot's changed flag before it.
struct EditCommand {
  EditKind kind = EditKind::kReplace;
  EventId id;             // the event replaced, inserted or removed
  std::size_t index = 0;  // insert, remove: the line's index in its slot
  Sjis before;            // replace: the old line; remove: the line removed
  Sjis after;             // replace: the new line; insert: the line inserted
  bool changedBefore = false;
};

// The undo and redo history of the changes to event lines since each slot
// was last read, saved or emptied. Every change goes through it: it changes
// the slot, marks it changed and records how to take the change back.
// Undoing puts the lines and the slot's changed flag back as they were, so
// a slot undone to what its file holds counts as unchanged again; a removed
// line comes back under its old id.
class EditHistory {
 public:
  // The edits; each is a new change, so whatever was undone before it can
  // no longer be redone. False (nothing recorded) when the slot does not
  // hold the event.
  bool Replace(EventStore& store, EventId id, Sjis line);
  // Inserts `line` into slot k before index `index` (at the end past it)
  // and returns its new id.
  EventId Insert(EventStore& store, int k, std::size_t index, Sjis line);
  bool Remove(EventStore& store, EventId id);

  // Takes the last change back / puts the last undone change in again, and
  // returns it; nothing when there is none. A change whose event is no
  // longer where it was is dropped.
  std::optional<EditCommand> Undo(EventStore& store);
  std::optional<EditCommand> Redo(EventStore& store);

  // Slot k's lines have been replaced or emptied: its changes can no longer
  // be undone or redone.
  void ForgetSlot(int k);
  // Slot k has been saved: its changes can still be undone and redone, but
  // each step away from the saved lines leaves the slot changed (a step back
  // to them too, on the safe side).
  void SlotSaved(int k);

 private:
  void Record(EditCommand command);

  std::vector<EditCommand> undo_;
  std::vector<EditCommand> redo_;
};

}  // namespace qev
