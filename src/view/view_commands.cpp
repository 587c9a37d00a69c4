// The view's keyboard commands, undo and redo among them, what printing
// the whole timeline and writing a table take from it, and the new file of
// an imported table.
#include "events/file_io.h"
#include "lists/table_import.h"
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

std::vector<ListedEvent> MainView::LineEvents() {
  std::vector<ListedEvent> events;
  const EventStore& store = session_.store();
  for (const TimelinePoint& point : session_.points().points()) {
    const FileSlot& slot = store.slots[static_cast<std::size_t>(point.slot)];
    const std::optional<std::size_t> i =
        slot.IndexOf(point.id(), static_cast<std::size_t>(point.line));
    if (!i) continue;
    events.push_back({slot.title.empty() ? slot.baseName : slot.title, Sjis(slot.Line(*i))});
  }
  return events;
}

ImportOutcome MainView::ImportEvents(std::string_view name, std::string_view title,
                                     const std::vector<Sjis>& lines) {
  ImportOutcome out;
  const NewEventFile file =
      PlanImportedFile(session_.store().dataDir(), name, title, ClockText(), lines);
  if (!file.ok()) {
    out.problem = file.problem;
    return out;
  }
  out.fileName = file.path.filename().string();
  if (const WriteOutcome written = WriteNewFile(file.path, file.text); !written.ok) {
    out.problem = "「" + out.fileName + "」を作れませんでした: " + written.reason;
    return out;
  }
  out.slot = files_.ReadIntoEmptySlot(file.path);
  return out;
}

}  // namespace qev
