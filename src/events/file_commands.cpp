#include "events/file_commands.h"

#include <optional>

namespace qev {

FileSlot* FileCommands::SlotOf(int target) {
  int k = target - kFirstSlotTarget;
  if (k < 0 || k >= EventStore::kSlotCount) return nullptr;
  return &store_.slots[static_cast<std::size_t>(k)];
}

void FileCommands::ReadSlot(int target) {
  FileSlot* slot = SlotOf(target);
  if (slot == nullptr) return;
  host_.CloseStateText();
  host_.CancelContentEdit();
  platform_.SetPanelText(InfoPanel::kLeft, {});
  platform_.SetPanelText(InfoPanel::kRight, {});
  std::filesystem::path path = store_.BuildPath(slot->baseName);
  store_.NoteDialogOpened();
  std::optional<std::string> picked = platform_.FileDialog(FileDialogKind::kOpen, path.string());
  if (!picked) return;
  host_.DrawControlPanel();
  host_.DrawTimeline();
  FileResult r = ReadFileFromDialog(store_, target, *picked);
  host_.SlotFileChanged(target - kFirstSlotTarget);
  if (!r.ok()) ReportFileProblem(r, *picked);
  host_.FullRefresh();
}

void FileCommands::Save(int target) {
  host_.CancelContentEdit();
  host_.DrawControlPanel();
  SaveTarget(target);
}

bool FileCommands::SaveTarget(int target) {
  FileSlot* slot = SlotOf(target);
  if (slot == nullptr && target != kStateTarget) return false;
  Cp932Encoding right = platform_.PanelText(InfoPanel::kRight);
  if (slot == nullptr) {
    if (!right.ok()) {
      platform_.ShowMessage("右表示欄の文字「" + right.unencodable +
                            "」はShift-JISで保存できません。動作状態を保存しませんでした。");
      return false;
    }
    host_.KeepStateDescription(right.bytes);
  }
  std::filesystem::path path = store_.BuildPath(slot ? slot->title : store_.stateBaseName);
  store_.NoteDialogOpened();
  std::optional<std::string> chosen = platform_.FileDialog(FileDialogKind::kSave, path.string());
  if (!chosen) return false;
  if (const std::size_t lost = LinesLostBySave(store_, target, *chosen); lost > 0) {
    if (!platform_.AskToSaveAnyway("「" + *chosen + "」には、このプログラムが読み込まなかった行が" +
                                   std::to_string(lost) +
                                   "行あります。このまま保存すると、それらの行は失われます。"
                                   "保存しますか?")) {
      return false;
    }
  }
  FileResult r = WriteTarget(store_, target, *chosen, host_.SaveDateText(), right.bytes);
  if (!r.ok()) {
    ReportFileProblem(r, *chosen);
    return false;
  }
  if (slot != nullptr) host_.SlotFileChanged(target - kFirstSlotTarget);
  return true;
}

void FileCommands::EraseSlot(int target) {
  int k = target - kFirstSlotTarget;
  FileSlot* slot = SlotOf(target);
  if (slot == nullptr || !ConfirmDiscard(k)) return;
  host_.CloseStateText();
  host_.CancelContentEdit();
  host_.DrawControlPanel();
  store_.EraseSlot(k);
  host_.SlotFileChanged(k);
  host_.DrawControlPanel();
  host_.DrawTimeline();
  host_.FullRefresh();
}

bool FileCommands::ConfirmDiscard(int k) {
  const FileSlot& slot = store_.slots[static_cast<std::size_t>(k)];
  if (slot.changed != 1) return true;
  switch (platform_.AskToSave("「" + DecodeCp932(slot.label) +
                              "」の変更は保存されていません。保存しますか?")) {
    case SaveAnswer::kDiscard:
      return true;
    case SaveAnswer::kCancel:
      return false;
    case SaveAnswer::kSave:
      return SaveTarget(kFirstSlotTarget + k);
  }
  return false;
}

std::vector<std::string> FileCommands::AutoLoadSlots() {
  std::vector<std::string> unreadable;
  for (int k = 0; k < EventStore::kSlotCount; ++k) {
    FileSlot& slot = store_.slots[static_cast<std::size_t>(k)];
    if (slot.loaded != 1) continue;
    FileResult r = LoadSlot(store_, k);
    if (r.ok()) store_.MarkChanged(k, false);
    host_.SlotFileChanged(k);
    if (r.status == FileStatus::kUnreadable) {
      unreadable.push_back(store_.BuildPath(slot.baseName).string() + ": " + r.reason);
    }
  }
  return unreadable;
}

void FileCommands::ReportUnreadable(const std::vector<std::string>& problems) {
  if (problems.empty()) return;
  std::string text = "読み込めないものがありました。\n";
  for (const std::string& p : problems) text += "\n" + p;
  platform_.ShowMessage(text);
}

void FileCommands::ReportFileProblem(const FileResult& result, const std::filesystem::path& path) {
  switch (result.status) {
    case FileStatus::kOk:
      return;
    case FileStatus::kMissing:
      platform_.ShowMessage("ファイル「" + path.string() + "」がありません。");
      return;
    case FileStatus::kUnreadable:
      platform_.ShowMessage("ファイル「" + path.string() + "」を読み込めません: " + result.reason);
      return;
    case FileStatus::kUnencodableName:
      platform_.ShowMessage("ファイル名の文字「" + result.reason +
                            "」はShift-JISで表せないか、Shift-JISを通すと別の文字になるため、"
                            "このファイルは使えません。ファイル名を変えてください。");
      return;
    case FileStatus::kWriteFailed:
      platform_.ShowMessage("ファイル「" + path.string() + "」を保存できませんでした: " +
                            result.reason + "\n元のファイルはそのままです。");
      return;
  }
}

}  // namespace qev
