#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "events/event_id.h"
#include "events/file_encoding.h"
#include "events/file_io.h"
#include "text/cp932.h"

namespace qev {

class FileSlot;

// The lines of a slot in file order, as views of its text: valid until the
// slot's lines next change.
class SlotLines {
 public:
  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::string_view;
    const_iterator() = default;
    const_iterator(const FileSlot* slot, std::size_t i) : slot_(slot), i_(i) {}
    std::string_view operator*() const;
    const_iterator& operator++() {
      ++i_;
      return *this;
    }
    const_iterator operator++(int) { return {slot_, i_++}; }
    friend bool operator==(const const_iterator&, const const_iterator&) = default;

   private:
    const FileSlot* slot_ = nullptr;
    std::size_t i_ = 0;
  };
  using value_type = std::string_view;

  explicit SlotLines(const FileSlot& slot) : slot_(&slot) {}
  std::size_t size() const;
  bool empty() const { return size() == 0; }
  std::string_view operator[](std::size_t i) const;
  const_iterator begin() const { return {slot_, 0}; }
  const_iterator end() const { return {slot_, size()}; }

 private:
  const FileSlot* slot_;
};

// One of the ten slots ファイル① .. ファイル⑩: the event lines of one file,
// exactly as read, each with its id, and the slot's names and flags.
class FileSlot {
 public:
  Sjis label;
  Sjis title;
  Sjis baseName;  // file name without ".txt"
  Sjis headerLine;
  // The flags and names change only through EventStore.
  bool loaded = true;
  bool on = true;
  bool changed = false;
  // The file the lines were last read from, how many of its lines the
  // reader did not keep (a save over that file would lose them), and what
  // it held when it was last read or saved (a save over it first checks
  // that nobody changed it since).
  std::filesystem::path readFrom;
  std::size_t droppedLines = 0;
  FileStamp readStamp;
  // How that file stores its text; every save of the slot writes it so.
  FileForm form;

  // The lines in file order, never sorted.
  SlotLines lines() const { return SlotLines(*this); }
  std::size_t Count() const { return spans_.size(); }
  // Line(i) of an index the slot does not hold is empty, IdAt(i) invalid.
  // A line stays valid until the slot's lines next change.
  std::string_view Line(std::size_t i) const;
  EventId IdAt(std::size_t i) const;
  // Where the line of `id` is now; `hint` is checked first (where it was
  // when last looked up), so a lookup after no insert or removal is quick.
  std::optional<std::size_t> IndexOf(EventId id, std::size_t hint = 0) const;
  // Has the processor fetch the line and id at `i` ahead of their use, for
  // a long run of lookups spread over the slot.
  void Prefetch(std::size_t i) const;
  // Changes with every change of the lines, never back to an earlier value.
  std::uint64_t revision() const { return revision_; }
  // The ids of the lines replaced or put back since the slot's lines were
  // at `revision` (in the order of the changes, an id as often as it
  // changed), so that what is kept of them need not be read again; nothing
  // when they were set anew since, or changed too often to be listed.
  std::optional<std::vector<EventId>> ReplacedSince(std::uint64_t revision) const;
  // The revision before the last change, so that a follower of every
  // change can tell whether it missed one.
  std::uint64_t priorRevision() const { return priorRevision_; }

  // New lines, each with a new id (a read, an erase, a restore).
  void SetLines(const std::vector<Sjis>& lines);
  // The same from the text of a file read and the views of its event lines
  // in it: the slot keeps the text instead of a copy of each line.
  void TakeLines(std::string&& text, const std::vector<std::string_view>& lines);
  // Replacing a line keeps its id; an index the slot does not hold is
  // refused.
  bool Replace(std::size_t i, std::string_view line);
  // Inserts a line before index i (at the end for i >= Count()) under a new
  // id, or under `id` when a removed line comes back (undo, redo).
  EventId Insert(std::size_t i, std::string_view line);
  void Insert(std::size_t i, std::string_view line, EventId id);
  // Removes the line of `id`; false when the slot does not hold it.
  bool Remove(EventId id);

 private:
  friend class EventStore;
  EventId NewId() const;

  // Where a line's bytes are: at `offset` of text_, or of added_ after
  // text_'s end. Three 32-bit words keep it at 12 bytes a line.
  struct Span {
    std::uint32_t size = 0;
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    std::uint64_t offset() const { return std::uint64_t{high} << 32 | low; }
  };
  // A span for `line`, its bytes appended to added_; the text is first
  // made compact when most of it is no line's any more.
  Span Append(std::string_view line);
  void Compact();

  int number_ = 0;     // the slot's index 0..9, part of every id
  std::string text_;   // the text read, holding the lines read
  std::string added_;  // the lines put in since
  std::vector<Span> spans_;
  std::vector<std::uint64_t> serials_;  // of the ids, parallel to spans_
  std::uint64_t lineBytes_ = 0;         // the bytes of every line together
  std::uint64_t revision_ = 0;
  // Since `listedFrom_`, each Replace and each Insert of a known id, with
  // the revision it made.
  void NoteReplaced(EventId id);
  std::uint64_t listedFrom_ = 0;
  std::vector<std::pair<std::uint64_t, EventId>> replaced_;
  std::uint64_t priorRevision_ = 0;
  void Revise();
};

inline std::string_view SlotLines::const_iterator::operator*() const {
  return slot_->Line(i_);
}
inline std::size_t SlotLines::size() const {
  return slot_->Count();
}
inline std::string_view SlotLines::operator[](std::size_t i) const {
  return slot_->Line(i);
}

// What a context-menu file command acts on: slot k or the state file.
class FileTarget {
 public:
  static constexpr FileTarget Slot(int k) { return FileTarget(k); }
  static constexpr FileTarget StateFile() { return FileTarget(std::nullopt); }
  // The slot's index, or nullopt for the state file.
  constexpr std::optional<int> slot() const { return slot_; }
  constexpr bool isStateFile() const { return !slot_; }

 private:
  constexpr explicit FileTarget(std::optional<int> slot) : slot_(slot) {}
  std::optional<int> slot_;
};

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
  // The state file last read or saved, and what it held then.
  std::filesystem::path stateReadFrom;
  FileStamp stateStamp;

  // Initial names of slot k (0..9).
  static const Sjis& DefaultLabel(int k);
  static const Sjis& DefaultTitle(int k);
  static const Sjis& DefaultBaseName(int k);

  // Slot k holds no file any more: no lines, not loaded, off, unchanged,
  // its label reset. Its base name, title and header line stay.
  void ClearSlot(int k);
  // An erased slot: cleared, and the next read offers its default file name.
  void EraseSlot(int k);
  // Slot k as the state file names it: its file, its label, its flags.
  void RestoreSlot(int k, Sjis baseName, Sjis label, bool loaded, bool on);
  // A click on slot k's label: on and off, its title set to its label; false
  // (nothing changed) when it holds no file.
  bool SwitchSlot(int k);
  // Slot k's lines differ from its file (or no longer do).
  void MarkChanged(int k, bool changed);
  // The title of the file read into slot k becomes its title and label.
  void TakeTitle(int k, Sjis title);
  // A file picked for slot k was read into it: its base name, loaded, on.
  void TakePickedFile(int k, Sjis baseName);

  // The folder of the event files and the state file, "qev_file" unless set.
  void SetDataDir(std::filesystem::path dir);
  const std::filesystem::path& dataDir() const { return dataDir_; }

  // Once a file dialog has been opened, files are looked for in the folder
  // of the last file picked in a dialog (the data folder until one is).
  const std::filesystem::path& dialogDir() const { return pickedDir_ ? *pickedDir_ : dataDir_; }
  // Call before opening a dialog, after building its initial path.
  void NoteDialogOpened() { dialogUsed_ = true; }
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
  bool dialogUsed_ = false;
};

}  // namespace qev
