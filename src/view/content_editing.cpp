// The view's part in content editing and level changes: finding the selected
// point's line, writing a changed line back and showing it again.
#include "platform/platform.h"
#include "view/main_view.h"

namespace qev {

std::optional<EventLineLocation> MainView::SelectedLine() {
  const VisiblePoint* selected = visible_.Selected();
  if (selected == nullptr) return std::nullopt;
  std::optional<EventLineLocation> at = LocateEventLine(points_.keys()[selected->pointIndex]);
  if (!at || at->line >= store_.slots[static_cast<std::size_t>(at->slot)].Count()) {
    return std::nullopt;
  }
  return at;
}

bool MainView::WriteLine(const EventLineLocation& at, Sjis line) {
  FileSlot& slot = store_.slots[static_cast<std::size_t>(at.slot)];
  // Writing a line as it is changes nothing: no changed mark, no undo step.
  if (slot.Line(at.line) == line) return true;
  LineChange change{at.slot, at.line, slot.Line(at.line), line, slot.changed};
  if (!slot.Replace(at.line, std::move(line))) return false;
  slot.changed = 1;
  history_.Record(std::move(change));
  return true;
}

void MainView::BeginContentEdit() {
  editTarget_ = SelectedLine();
  if (!editTarget_) return;
  const FileSlot& slot = store_.slots[static_cast<std::size_t>(editTarget_->slot)];
  Sjis text = EditPanelText(slot.Line(editTarget_->line));
  // A field the panel cannot give back whole is not edited at all: "[実行]"
  // would have to cut it.
  const std::vector<Sjis> lines = SplitPanelLines(text);
  for (int i = 0; i < 3; ++i) {
    if (lines[static_cast<std::size_t>(i)].size() > kEditLineLimit) {
      platform_.ShowMessage(EditProblemMessage({{}, EditProblem::kFieldTooLong, i}));
      editTarget_.reset();
      return;
    }
  }
  edit_.contentEditMode = true;
  platform_.SetPanelText(InfoPanel::kRight, text);
  DrawControlPanel();
}

void MainView::ExecuteContentEdit() {
  // The edit goes back to the line it was started on, even if the
  // selection moved while the user typed.
  if (!editTarget_) return;
  Cp932Encoding typed = platform_.PanelText(InfoPanel::kRight);
  if (!typed.ok()) {
    platform_.ShowMessage("文字「" + typed.unencodable +
                          "」はShift-JISで保存できないため、変更を書き込めません。"
                          "この文字を直してから、もう一度[実行]を押してください。");
    return;
  }
  const FileSlot& slot = store_.slots[static_cast<std::size_t>(editTarget_->slot)];
  EditedLine edited = RewriteEventLine(slot.Line(editTarget_->line), SplitPanelLines(typed.bytes));
  if (!edited.ok()) {
    platform_.ShowMessage(EditProblemMessage(edited));
    return;
  }
  CloseStateText();
  edit_.contentEditMode = false;
  WriteLine(*editTarget_, std::move(edited.line));
  editTarget_.reset();
  RedrawChangedLine();
}

void MainView::RedrawChangedLine() {
  const int selected = visible_.selectedIndex();
  RebuildVisiblePoints();
  DrawControlPanel();
  visible_.SetSelectedIndex(selected);
  ShowSelection();
}

void MainView::ApplyLevelChange() {
  std::optional<EventLineLocation> at = SelectedLine();
  if (!at) return;
  const FileSlot& slot = store_.slots[static_cast<std::size_t>(at->slot)];
  std::optional<Sjis> line =
      WriteLevelDigits(slot.Line(at->line), edit_.importanceChange, edit_.memorisationChange);
  if (line) WriteLine(*at, std::move(*line));
}

}  // namespace qev
