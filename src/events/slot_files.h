#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#include "events/event_file.h"
#include "events/event_store.h"
#include "events/file_io.h"
#include "text/cp932.h"

namespace qev {

// Reading the slots and the state file from disk and writing them back.

enum class FileStatus {
  kOk,
  kMissing,          // no such file
  kUnreadable,       // the file is there but cannot be read
  kUnencodableName,  // the picked file's name has a character CP932 cannot hold
  kWriteFailed,      // nothing was written; the old file is as it was
};

struct FileResult {
  FileStatus status = FileStatus::kOk;
  // The system's reason for kUnreadable / kWriteFailed, the character
  // CP932 cannot hold for kUnencodableName (UTF-8).
  std::string reason;
  bool ok() const { return status == FileStatus::kOk; }
};

// Reads entry k (0..9 a slot, EventStore::kStateEntry the state file) from
// the file of its base name (EventStore::BuildPath).
// - read: a slot gets the file's event lines (a UTF-8 file's as CP932, see
//   ReadFileText, and remembers the file's form for its saves), its title and label become the
//   header title and its header line the file's; `loaded` and `on` keep
//   their values. The state entry gets stateTitle, stateHeaderLine and
//   stateFileText.
// - kMissing: a slot is emptied with loaded = on = 0 and its label reset;
//   the state entry is left as it was.
// - kUnreadable: nothing changes (also for a UTF-8 file with a character
//   Shift-JIS cannot hold, the reason naming it and its line); but a slot
//   whose base name is not a plain file name (IsPlainBaseName) or is longer
//   than kBaseNameLimit is not read at all and ends as a missing file does,
//   with the reason naming the slot or the base name.
FileResult LoadSlot(EventStore& store, int k);

// The longest base name, in bytes, that the state file keeps whole: its
// line "  ファイル①名=" + name holds 255 bytes.
constexpr std::size_t kBaseNameLimit = 242;

// Whether a base name names a file in the data folder and nothing else: no
// "/", no NUL, not "." or "..".
bool IsPlainBaseName(const Sjis& baseName);

// A title offered as a file name, made a plain base name: "/" and NUL
// become "_", and a name of dots only ("." or "..") becomes "_".
Sjis PlainBaseName(Sjis title);

// The file a name confirmed in the save dialog (UTF-8) is saved as. Only
// ".txt" files are read back, so any other name gets ".txt" appended; a
// file name with "*" or "?" (a filter's pattern taken for the name) is
// refused with nullopt.
std::optional<std::string> SaveFileName(const std::string& chosen);

// Why a file picked in the read dialog cannot become a slot's file, or
// empty. The slot remembers the file by its name without extension, in
// CP932, plus ".txt"; a name that does not come back the same that way
// (〜 comes back as ～) or an extension other than ".txt" would not find
// the file again at the next start. The status is kUnencodableName with the
// character as the reason, or kUnreadable with the extension named or the
// name longer than kBaseNameLimit.
FileResult CheckPickedName(const std::filesystem::path& picked);

// Whether a parsed file can go into a slot: a file in which the reader keeps
// no event line but drops others (the state file, some other text) is not
// an event file, and refused as kUnreadable with the reason. A file with no
// line besides its header and end line is an empty event file and is read.
FileResult CheckEventFileKind(const ParsedFile& parsed);

// Reads the file picked in the read dialog into the target (a slot or the
// state file) and records the dialog's folder.
// For a slot the picked name must pass CheckPickedName and the file
// CheckEventFileKind; the name without
// extension becomes its baseName and loaded and on become 1; `changed` is
// not touched. On any failure the target keeps everything it had.
FileResult ReadFileFromDialog(EventStore& store, FileTarget target,
                              const std::filesystem::path& picked);

// How many lines of the file a save of the target to `chosen` would lose:
// the lines the reader did not keep when the slot was read from that very
// file (see DroppedLine). 0 for the state file, for another file, and once
// a save has replaced the file.
std::size_t LinesLostBySave(const EventStore& store, FileTarget target,
                            const std::filesystem::path& chosen);

// The file `chosen` as it is now, when it is the file the target was last
// read from or saved to and holds something else than it held then
// (ChangedOnDisk): another program, or an editor, changed it since.
std::optional<FileStamp> ChangedSinceRead(const EventStore& store, FileTarget target,
                                          const std::filesystem::path& chosen);

// Writes the target to the file chosen in the save dialog, titled with the
// chosen name without extension, and records the dialog's folder. The state
// file's body comes from the right panel's text (CR LF separated). Only a
// successful write changes the store: the target's header line, for a slot
// `changed` := 0, for the state file stateFileText := its body; and what a
// later ChangedSinceRead compares with (for a slot only when `chosen` is the
// file it was read from).
FileResult WriteTarget(EventStore& store, FileTarget target, const std::filesystem::path& chosen,
                       const Sjis& clockText, const Sjis& rightPanelText);

}  // namespace qev
