#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "events/file_encoding.h"
#include "text/cp932.h"

namespace qev {

// One of the ten slots ファイル① .. ファイル⑩: the event lines of one file,
// exactly as read, with the slot's names and flags.
struct FileSlot {
  std::vector<Sjis> lines;  // file order, never sorted
  Sjis label;
  Sjis title;
  Sjis baseName;  // file name without ".txt"
  Sjis headerLine;
  int loaded = 1;
  int on = 1;
  int changed = 0;
  // The file the lines were last read from, and how many of its lines the
  // reader did not keep (a save over that file would lose them).
  std::filesystem::path readFrom;
  std::size_t droppedLines = 0;
  // How that file stores its text; every save of the slot writes it so.
  FileForm form;

  // The list operations every other part uses, by index. Line(i) of an
  // index the slot does not hold is empty; replacing one is refused.
  std::size_t Count() const { return lines.size(); }
  const Sjis& Line(std::size_t i) const;
  void Append(Sjis line) { lines.push_back(std::move(line)); }
  bool Replace(std::size_t i, Sjis line);
};

// menuTarget values of the context-menu file commands.
constexpr int kFirstSlotTarget = 20;  // 20 + k: slot k
constexpr int kStateTarget = 30;      // the state file

// The ten slots, the state file entry, and where their files are.
class EventStore {
 public:
  static constexpr int kSlotCount = 10;
  static constexpr int kStateEntry = 10;  // the state file as entry 10 of the loader

  EventStore();

  std::array<FileSlot, kSlotCount> slots;

  Sjis stateBaseName;
  Sjis stateTitle;
  Sjis stateHeaderLine;
  Sjis stateFileText;

  // Initial names of slot k (0..9).
  static const Sjis& DefaultLabel(int k);
  static const Sjis& DefaultTitle(int k);
  static const Sjis& DefaultBaseName(int k);

  // Slot k holds no file any more: no lines, not loaded, off, unchanged,
  // its label reset. Its base name, title and header line stay.
  void ClearSlot(int k);

  // The folder of the event files and the state file, "qev_file" unless set.
  void SetDataDir(std::filesystem::path dir);
  const std::filesystem::path& dataDir() const { return dataDir_; }

  // 1 once a file dialog has been opened: from then on files are looked for
  // in the folder of the last file picked in a dialog.
  int dialogUsed() const { return dialogUsed_; }
  const std::filesystem::path& dialogDir() const { return pickedDir_ ? *pickedDir_ : dataDir_; }
  // Call before opening a dialog, after building its initial path.
  void NoteDialogOpened() { dialogUsed_ = 1; }
  // Call when the user confirms a dialog with `picked` (folder and name).
  void RecordDialogFolder(const std::filesystem::path& picked);

  // The file of a CP932 base name: its UTF-8 form + ".txt", in the data
  // folder until a dialog has been used, in the last dialog folder after.
  std::filesystem::path BuildPath(const Sjis& baseName) const;

 private:
  std::filesystem::path dataDir_ = "qev_file";
  // Until a file is picked, dialogs open in the data folder, so files stay
  // there.
  std::optional<std::filesystem::path> pickedDir_;
  int dialogUsed_ = 0;
};

}  // namespace qev
