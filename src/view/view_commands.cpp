// The view's keyboard commands, undo and redo among them, and what printing
// the whole timeline takes from it.
#include "timeline/point_filter.h"
#include "view/main_view.h"

namespace qev {

void MainView::OnKeyCommand(KeyCommand command) {
  if (command == KeyCommand::kUndo || command == KeyCommand::kRedo) {
    if (EditingRefused()) return;
    CancelContentEdit();
    desk_.EventsChanged();
    return Redraw(command == KeyCommand::kUndo ? session_.Undo() : session_.Redo());
  }
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

SheetSource MainView::WholeTimeline() {
  PointList all;
  all.Rebuild(
      session_.store(),
      [this](char importance, char memorisation) {
        return PassesFilter(session_.settings(), importance, memorisation);
      },
      [](int) { return 0; });
  return {SheetEntries(all, session_.store()), session_.scale().rangeIndex()};
}

}  // namespace qev
