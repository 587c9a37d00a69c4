#include "events/edit_history.h"

#include <algorithm>
#include <utility>

namespace qev {

void EditHistory::Record(LineChange change) {
  undo_.push_back(std::move(change));
  redo_.clear();
}

std::optional<LineChange> EditHistory::TakeUndo() {
  if (undo_.empty()) return std::nullopt;
  LineChange change = std::move(undo_.back());
  undo_.pop_back();
  redo_.push_back(change);
  return change;
}

std::optional<LineChange> EditHistory::TakeRedo() {
  if (redo_.empty()) return std::nullopt;
  LineChange change = std::move(redo_.back());
  redo_.pop_back();
  undo_.push_back(change);
  return change;
}

void EditHistory::ForgetSlot(int k) {
  auto ofSlot = [k](const LineChange& c) { return c.slot == k; };
  std::erase_if(undo_, ofSlot);
  std::erase_if(redo_, ofSlot);
}

}  // namespace qev
