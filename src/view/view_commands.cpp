// The view's keyboard commands, undo and redo, and what printing the whole
// timeline takes from it.
#include "timeline/point_filter.h"
#include "view/main_view.h"

namespace qev {

void MainView::OnKeyCommand(KeyCommand command) {
  if (command == KeyCommand::kUndo) return Undo();
  if (command == KeyCommand::kRedo) return Redo();
  if (command == KeyCommand::kSaveChanged) {
    // A saved slot's label loses its changed colour.
    if (files_.SaveChangedSlots()) DrawControlPanel();
    return;
  }
  // The messages the window gets for the click, in the window's order.
  const KeyInput in = InputFor(layout_, command);
  switch (in.kind) {
    case InputKind::kLeftClick:
      OnLButtonDown(in.x, in.y);
      OnLButtonUp(in.x, in.y);
      return;
    case InputKind::kRightClick:
      OnRButtonUp(in.x, in.y);
      ShowContextMenu(in.x, in.y);
      return;
    case InputKind::kLeftDoubleClick:
      OnLButtonDown(in.x, in.y);
      OnLButtonUp(in.x, in.y);
      OnLButtonDblClk(in.x, in.y);
      OnLButtonUp(in.x, in.y);
      return;
    case InputKind::kScroll:
      ScrollTimeline(in.scroll, platform_.ScrollThumb());
      return;
    case InputKind::kNone:
      return;
  }
}

void MainView::Undo() {
  CancelContentEdit();
  ApplyHistory(history_.TakeUndo(), true);
}

void MainView::Redo() {
  CancelContentEdit();
  ApplyHistory(history_.TakeRedo(), false);
}

void MainView::ApplyHistory(const std::optional<LineChange>& change, bool undo) {
  if (!change) return;
  FileSlot& slot = store_.slots[static_cast<std::size_t>(change->slot)];
  if (!slot.Replace(change->line, undo ? change->before : change->after)) return;
  slot.changed = undo ? change->changedBefore : 1;
  CloseStateText();
  RedrawChangedLine();
}

SheetSource MainView::WholeTimeline() {
  PointList all;
  all.Rebuild(
      store_, [this](std::string_view line) { return PassesFilter(settings_, line); },
      [](int) { return 0; });
  return {SheetEntries(all, store_), scale_.rangeIndex()};
}

}  // namespace qev
