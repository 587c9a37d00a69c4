#include "events/file_commands.h"

#include <ctime>
#include <optional>

#include "events/file_io.h"
#include "events/new_event_file.h"

namespace qev {
namespace {

// What an interrupted save left beside `file`, in words: a whole backup
// (the previous content) or an incomplete copy (not it: that save had not
// touched the file yet). Neither is removed here: the backup may hold the
// only whole copy.
std::vector<std::string> LeftoverNotices(const std::filesystem::path& file) {
  std::vector<std::string> notices;
  if (std::optional<std::filesystem::path> backup = LeftoverBackup(file)) {
    notices.push_back(file.string() +
                      ": the last save of this file was interrupted; the previous content is in " +
                      backup->string());
  }
  if (std::optional<std::filesystem::path> partial = LeftoverIncompleteBackup(file)) {
    notices.push_back(file.string() +
                      ": a save of this file was interrupted while it copied the file; " +
                      partial->string() +
                      " is an incomplete copy, not the previous content (that save had not "
                      "changed the file, and the next save replaces the copy)");
  }
  return notices;
}

// The question before a save over `file`, which another program changed
// (its modification time in `now`) since this program read or saved it.
std::string ChangedFileQuestion(const std::filesystem::path& file, const FileStamp& now) {
  const std::time_t seconds = static_cast<std::time_t>(now.modifiedSeconds);
  std::tm local{};
  char when[64] = "";
  if (::localtime_r(&seconds, &local) != nullptr) {
    std::strftime(when, sizeof when, "%Y年%m月%d日%H時%M分%S秒", &local);
  }
  return "「" + file.string() +
         "」は、読み込んでから(または前回の保存から)ほかのプログラムで変更されています(変更日時 " +
         when +
         ")。上書きすると、その変更は失われます。\n上書き保存しますか、別の名前で保存しますか?";
}

}  // namespace

FileSlot* FileCommands::SlotOf(FileTarget target) {
  const std::optional<int> k = target.slot();
  if (!k || *k < 0 || *k >= EventStore::kSlotCount) return nullptr;
  return &store_.slots[static_cast<std::size_t>(*k)];
}

void FileCommands::ReadSlot(FileTarget target) {
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
  host_.SlotFileChanged(*target.slot());
  if (!r.ok()) ReportFileProblem(r, *picked);
  ReportUnreadable(LeftoverNotices(*picked));
  host_.FullRefresh();
}

void FileCommands::CreateFile(FileTarget target) {
  FileSlot* slot = SlotOf(target);
  if (slot == nullptr) return;
  host_.CloseStateText();
  host_.CancelContentEdit();
  NewFileAnswer typed;
  NewEventFile file;
  // Asked again with what was typed until the file can be written.
  for (;;) {
    std::optional<NewFileAnswer> answer = platform_.AskNewFile(typed);
    if (!answer) return;
    typed = *answer;
    file = PlanNewEventFile(store_.dataDir(), typed.name, typed.title, host_.SaveDateText());
    if (file.ok()) {
      const WriteOutcome written = WriteNewFile(file.path, file.text);
      if (written.ok) break;
      file.problem =
          "「" + file.path.filename().string() + "」を作れませんでした: " + written.reason;
    }
    platform_.ShowMessage(file.problem);
  }
  FileResult r = ReadFileFromDialog(store_, target, file.path);
  host_.SlotFileChanged(*target.slot());
  if (!r.ok()) ReportFileProblem(r, file.path);
  host_.FullRefresh();
}

std::optional<int> FileCommands::ReadIntoEmptySlot(const std::filesystem::path& path) {
  for (int k = 0; k < EventStore::kSlotCount; ++k) {
    if (store_.slots[static_cast<std::size_t>(k)].loaded) continue;
    host_.CloseStateText();
    host_.CancelContentEdit();
    const FileResult r = ReadFileFromDialog(store_, FileTarget::Slot(k), path);
    host_.SlotFileChanged(k);
    if (!r.ok()) ReportFileProblem(r, path);
    host_.FullRefresh();
    return k;
  }
  return std::nullopt;
}

void FileCommands::Save(FileTarget target) {
  host_.CancelContentEdit();
  host_.DrawControlPanel();
  SaveTarget(target);
}

bool FileCommands::SaveTarget(FileTarget target) {
  FileSlot* slot = SlotOf(target);
  if (slot == nullptr && !target.isStateFile()) return false;
  Cp932Encoding right = platform_.PanelText(InfoPanel::kRight);
  if (slot == nullptr) {
    if (!right.ok()) {
      platform_.ShowMessage("右表示欄の文字「" + right.unencodable +
                            "」はShift-JISで保存できません。動作状態を保存しませんでした。");
      return false;
    }
    host_.KeepStateDescription(right.bytes);
  }
  // A title may hold "/" or be "..": the dialog still opens in the folder.
  std::filesystem::path path =
      store_.BuildPath(PlainBaseName(slot ? slot->title : store_.stateBaseName));
  store_.NoteDialogOpened();
  std::optional<std::string> picked = platform_.FileDialog(FileDialogKind::kSave, path.string());
  if (!picked) return false;
  const std::optional<std::string> chosen = SaveFileName(*picked);
  if (!chosen) {
    platform_.ShowMessage("ファイル名「" + std::filesystem::path(*picked).filename().string() +
                          "」には「*」や「?」を使えません。保存しませんでした。");
    return false;
  }
  std::error_code ec;
  if (*chosen != *picked && std::filesystem::exists(*chosen, ec) &&
      !platform_.AskToSaveAnyway("「" + *chosen + "」は既にあります。上書きしますか?")) {
    return false;
  }
  return SaveTo(target, *chosen, right.bytes);
}

bool FileCommands::SaveTo(FileTarget target, const std::string& chosen,
                          const Sjis& rightPanelText) {
  // Overwriting a file that changed since it was read loses the change, and
  // with it whatever it has that the count of unread lines below knows
  // nothing of: one question covers both.
  bool overwriteChanged = false;
  if (const std::optional<FileStamp> now = ChangedSinceRead(store_, target, chosen)) {
    switch (platform_.AskChangedFile(ChangedFileQuestion(chosen, *now))) {
      case ChangedFileAnswer::kCancel:
        return false;
      case ChangedFileAnswer::kSaveAs:
        return SaveTarget(target);
      case ChangedFileAnswer::kOverwrite:
        overwriteChanged = true;
        break;
    }
  }
  if (const std::size_t lost = LinesLostBySave(store_, target, chosen);
      lost > 0 && !overwriteChanged) {
    if (!platform_.AskToSaveAnyway("「" + chosen + "」には、このプログラムが読み込まなかった行が" +
                                   std::to_string(lost) +
                                   "行あります。このまま保存すると、それらの行は失われます。"
                                   "保存しますか?")) {
      return false;
    }
  }
  FileResult r = WriteTarget(store_, target, chosen, host_.SaveDateText(), rightPanelText);
  if (!r.ok()) {
    ReportFileProblem(r, chosen);
    return false;
  }
  if (SlotOf(target) != nullptr) host_.SlotSaved(*target.slot());
  return true;
}

bool FileCommands::SaveToItsFile(int k) {
  const FileSlot& slot = store_.slots[static_cast<std::size_t>(k)];
  const std::filesystem::path file =
      slot.readFrom.empty() ? store_.BuildPath(slot.baseName) : slot.readFrom;
  return SaveTo(FileTarget::Slot(k), file.string(), {});
}

bool FileCommands::SaveChangedSlots() {
  bool saved = false;
  for (int k = 0; k < EventStore::kSlotCount; ++k) {
    const FileSlot& slot = store_.slots[static_cast<std::size_t>(k)];
    if (slot.loaded != 1 || slot.changed != 1) continue;
    saved = SaveToItsFile(k) || saved;
  }
  return saved;
}

bool FileCommands::SaveSlotsToTheirFiles(const std::vector<int>& slots) {
  bool all = true;
  for (int k : slots) {
    if (k < 0 || k >= EventStore::kSlotCount) continue;
    const FileSlot& slot = store_.slots[static_cast<std::size_t>(k)];
    if (slot.loaded != 1 || slot.changed != 1) continue;
    all = SaveToItsFile(k) && all;
  }
  return all;
}

void FileCommands::EraseSlot(FileTarget target) {
  if (SlotOf(target) == nullptr) return;
  const int k = *target.slot();
  if (!ConfirmDiscard(k)) return;
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
      return SaveTarget(FileTarget::Slot(k));
  }
  return false;
}

bool FileCommands::ConfirmClose() {
  std::vector<int> changed;
  std::string list;
  for (int k = 0; k < EventStore::kSlotCount; ++k) {
    const FileSlot& slot = store_.slots[static_cast<std::size_t>(k)];
    if (slot.changed != 1) continue;
    changed.push_back(k);
    const std::filesystem::path file =
        slot.readFrom.empty() ? store_.BuildPath(slot.baseName) : slot.readFrom;
    list += "\n・" + DecodeCp932(slot.label) + "　" + file.string();
  }
  if (changed.empty()) return true;
  switch (platform_.AskToSave("次のファイルの変更は保存されていません。保存しますか?\n" + list +
                              "\n\n「保存」: それぞれを読み込んだファイルに保存します"
                              "(Ctrl+S と同じ)。")) {
    case SaveAnswer::kDiscard:
      return true;
    case SaveAnswer::kCancel:
      return false;
    case SaveAnswer::kSave:
      // A save that fails has said why; the window stays open.
      return SaveSlotsToTheirFiles(changed);
  }
  return false;
}

std::vector<std::string> FileCommands::AutoLoadSlots() {
  std::vector<std::string> unreadable;
  const std::filesystem::path statePath = store_.BuildPath(store_.stateBaseName);
  for (std::string& notice : LeftoverNotices(statePath)) unreadable.push_back(std::move(notice));
  for (int k = 0; k < EventStore::kSlotCount; ++k) {
    FileSlot& slot = store_.slots[static_cast<std::size_t>(k)];
    if (slot.loaded != 1) continue;
    const std::filesystem::path path = store_.BuildPath(slot.baseName);
    FileResult r = LoadSlot(store_, k);
    if (r.ok()) store_.MarkChanged(k, false);
    host_.SlotFileChanged(k);
    if (r.status == FileStatus::kUnreadable) {
      // A name too long for the state file is not shown: the reason names
      // the slot.
      const bool tooLong = slot.baseName.size() > kBaseNameLimit;
      unreadable.push_back((tooLong ? std::string() : path.string() + ": ") + r.reason);
    }
    for (std::string& notice : LeftoverNotices(path)) unreadable.push_back(std::move(notice));
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
