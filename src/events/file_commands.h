#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "events/event_store.h"
#include "events/slot_files.h"
#include "platform/platform.h"
#include "text/cp932.h"

namespace qev {

// What every command from the user, a file command or a click, may ask of
// the screen around it first.
class ViewHost {
 public:
  virtual ~ViewHost() = default;
  // The right panel shows the selected point again at its next redraw.
  virtual void CloseStateText() = 0;
  // Ends a content edit without writing it back; when one was under way,
  // everything is rebuilt (FullRefresh).
  virtual void CancelContentEdit() = 0;
  virtual void DrawControlPanel() = 0;
  // The timeline alone; the drawing area shows the timeline again.
  virtual void DrawTimeline() = 0;
  // Point list rebuilt from the slots, selection on the first visible point,
  // everything redrawn.
  virtual void FullRefresh() = 0;
};

// What a file command needs besides.
class FileCommandHost : public virtual ViewHost {
 public:
  // The date written into a saved file's header.
  virtual Sjis SaveDateText() = 0;
  // The state text that a saved state file now holds, for repainting.
  virtual void KeepStateDescription(const Sjis& text) = 0;
  // Slot k's lines were read or emptied: they are what a file holds (or
  // nothing), and no earlier change of them can be undone.
  virtual void SlotFileChanged(int k) = 0;
  // Slot k was saved: its changes stay undoable.
  virtual void SlotSaved(int k) = 0;
};

// The context-menu file commands on the slots and the state file: their
// dialogs, their messages and the order of their redraws.
class FileCommands {
 public:
  FileCommands(EventStore& store, Platform& platform, FileCommandHost& host)
      : store_(store), platform_(platform), host_(host) {}

  // ファイルを読み込む: reads a file picked in the open dialog into a slot.
  void ReadSlot(FileTarget target);
  // ファイルを保存 / 動作状態を保存. The dialog offers the title as a plain
  // base name; a confirmed name gets ".txt" (SaveFileName).
  void Save(FileTarget target);
  // 新しいファイルを作る: asks for a name and a title, writes an empty event
  // file of that name into the data folder (never over an existing file)
  // and reads it into the slot.
  void CreateFile(FileTarget target);
  // Reads the event file at `path` into the first slot that holds no file,
  // as ファイルを読み込む does; the slot, or nothing when every slot holds one.
  std::optional<int> ReadIntoEmptySlot(const std::filesystem::path& path);
  // ファイルを消去: empties a slot (the file on disk stays), after asking
  // about unsaved changes.
  void EraseSlot(FileTarget target);

  // 変更したファイルを保存: saves every changed slot, without a dialog, to
  // the file it was read from, with the refusals and the question of any
  // save. An edit under way stays open. True when a slot was written.
  bool SaveChangedSlots();

  // "結果を保存" of the self-test: saves each of `slots` that has changes,
  // without a dialog, to the file it was read from, with the refusals and
  // the question of any save. True when every one of them was written.
  bool SaveSlotsToTheirFiles(const std::vector<int>& slots);

  // Before the window closes: one question listing every changed slot,
  // answered by saving each to the file it was read from (as
  // SaveChangedSlots, its refusals and questions included), by not saving,
  // or by staying open. True when the window may close: nothing changed,
  // not saved, or every changed slot written.
  bool ConfirmClose();

  // Saves the target through the save dialog; true when it was written.
  bool SaveTarget(FileTarget target);
  // Asks before unsaved changes of slot k are lost: true to go on (saved or
  // discarded), false to keep everything as it is.
  bool ConfirmDiscard(int k);
  // Reads every slot marked loaded, which then holds what its file holds
  // (unchanged); returns the files that are there but could not be read,
  // each with its reason, and those files and the state file where an
  // interrupted save left a backup, with the backup's path.
  std::vector<std::string> AutoLoadSlots();
  // One message listing what could not be read, if anything.
  void ReportUnreadable(const std::vector<std::string>& problems);
  // Tells the user why a file could not be read or written.
  void ReportFileProblem(const FileResult& result, const std::filesystem::path& path);

 private:
  // The slot a target names, or null for the state file or no such slot.
  FileSlot* SlotOf(FileTarget target);
  // Writes the target to `chosen` after asking before lines would be lost;
  // true when it was written.
  bool SaveTo(FileTarget target, const std::string& chosen, const Sjis& rightPanelText);
  // Saves slot k to the file it was read from; true when it was written.
  bool SaveToItsFile(int k);

  EventStore& store_;
  Platform& platform_;
  FileCommandHost& host_;
};

}  // namespace qev
