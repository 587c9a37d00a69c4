// The view's part in content editing: the right panel's text in and out,
// and the messages of a refused edit.
#include "platform/platform.h"
#include "view/main_view.h"

namespace qev {

bool MainView::SetSelfTestOpen(bool open) {
  if (open && session_.edit().editing()) {
    platform_.ShowMessage(
        "内容の変更中です。[実行]か[中止]で変更を終えてから、確認テストを始めてください。");
    return false;
  }
  selfTestOpen_ = open;
  desk_.SetSelfTestOpen(open);
  return true;
}

bool MainView::EditingRefused() {
  if (!selfTestOpen_) return false;
  platform_.ShowMessage(
      "確認テストの間は編集できません。確認テストの画面を閉じてから編集してください。");
  return true;
}

Changes MainView::BeginContentEdit() {
  const Changes panel{.controlPanel = true};
  if (EditingRefused()) return panel;
  StudySession::EditStart start = session_.BeginContentEdit();
  if (start.refused) platform_.ShowMessage(EditProblemMessage(*start.refused));
  if (start.text) platform_.SetPanelText(InfoPanel::kRight, *start.text);
  return panel;
}

Changes MainView::ExecuteContentEdit() {
  // The edit goes back to the line it was started on, even if the
  // selection moved while the user typed.
  if (!session_.edit().editing()) return {};
  Cp932Encoding typed = platform_.PanelText(InfoPanel::kRight);
  if (!typed.ok()) {
    platform_.ShowMessage("文字「" + typed.unencodable +
                          "」はShift-JISで保存できないため、変更を書き込めません。"
                          "この文字を直してから、もう一度[実行]を押してください。");
    return {};
  }
  std::optional<EditedLine> edited = session_.ExecuteContentEdit(typed.bytes);
  if (!edited) return {};
  if (!edited->ok()) {
    platform_.ShowMessage(EditProblemMessage(*edited));
    return {};
  }
  CloseStateText();
  return {.selection = true, .controlPanel = true, .lines = true};
}

}  // namespace qev
