#include "events/edit_history.h"

#include <algorithm>
#include <utility>

namespace qev {
namespace {

FileSlot* SlotOf(EventStore& store, EventId id) {
  if (id.slot < 0 || id.slot >= EventStore::kSlotCount) return nullptr;
  return &store.slots[static_cast<std::size_t>(id.slot)];
}

// Runs a command forwards (redo) or backwards (undo) on its slot; false
// when the slot no longer holds the event as the command left it.
bool Run(EventStore& store, const EditCommand& c, bool undo) {
  FileSlot* slot = SlotOf(store, c.id);
  if (slot == nullptr) return false;
  const bool inserts = (c.kind == EditKind::kInsert) != undo;
  switch (c.kind) {
    case EditKind::kReplace: {
      std::optional<std::size_t> i = slot->IndexOf(c.id);
      if (!i) return false;
      slot->Replace(*i, undo ? c.before : c.after);
      break;
    }
    case EditKind::kInsert:
    case EditKind::kRemove:
      if (inserts) {
        if (slot->IndexOf(c.id) || c.index > slot->Count()) return false;
        slot->Insert(c.index, c.kind == EditKind::kInsert ? c.after : c.before, c.id);
      } else if (!slot->Remove(c.id)) {
        return false;
      }
      break;
  }
  store.MarkChanged(c.id.slot, undo ? c.changedBefore : true);
  return true;
}

}  // namespace

void EditHistory::Record(EditCommand command) {
  undo_.push_back(std::move(command));
  redo_.clear();
}

bool EditHistory::Replace(EventStore& store, EventId id, Sjis line) {
  FileSlot* slot = SlotOf(store, id);
  std::optional<std::size_t> i = slot ? slot->IndexOf(id) : std::nullopt;
  if (!i) return false;
  // Writing a line as it is changes nothing: no changed mark, no undo step.
  if (slot->Line(*i) == line) return true;
  EditCommand c{EditKind::kReplace, id, *i, Sjis(slot->Line(*i)), std::move(line), slot->changed};
  Run(store, c, false);
  Record(std::move(c));
  return true;
}

EventId EditHistory::Insert(EventStore& store, int k, std::size_t index, Sjis line) {
  FileSlot& slot = store.slots.at(static_cast<std::size_t>(k));
  index = std::min(index, slot.Count());
  const bool changedBefore = slot.changed;
  EventId id = slot.Insert(index, line);
  store.MarkChanged(k, true);
  Record({EditKind::kInsert, id, index, {}, std::move(line), changedBefore});
  return id;
}

bool EditHistory::Remove(EventStore& store, EventId id) {
  FileSlot* slot = SlotOf(store, id);
  std::optional<std::size_t> i = slot ? slot->IndexOf(id) : std::nullopt;
  if (!i) return false;
  EditCommand c{EditKind::kRemove, id, *i, Sjis(slot->Line(*i)), {}, slot->changed};
  Run(store, c, false);
  Record(std::move(c));
  return true;
}

std::optional<EditCommand> EditHistory::Undo(EventStore& store) {
  if (undo_.empty()) return std::nullopt;
  EditCommand c = std::move(undo_.back());
  undo_.pop_back();
  if (!Run(store, c, true)) return std::nullopt;
  redo_.push_back(c);
  return c;
}

std::optional<EditCommand> EditHistory::Redo(EventStore& store) {
  if (redo_.empty()) return std::nullopt;
  EditCommand c = std::move(redo_.back());
  redo_.pop_back();
  if (!Run(store, c, false)) return std::nullopt;
  undo_.push_back(c);
  return c;
}

void EditHistory::SlotSaved(int k) {
  for (std::vector<EditCommand>* side : {&undo_, &redo_}) {
    for (EditCommand& c : *side) {
      if (c.id.slot == k) c.changedBefore = true;
    }
  }
}

void EditHistory::ForgetSlot(int k) {
  auto ofSlot = [k](const EditCommand& c) { return c.id.slot == k; };
  std::erase_if(undo_, ofSlot);
  std::erase_if(redo_, ofSlot);
}

}  // namespace qev
