#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "text/cp932.h"

namespace qev {

enum class ReadStatus {
  kRead,
  kMissing,     // no such file (or no such folder)
  kUnreadable,  // there, but cannot be read: permissions, not a regular file,
                // too large, an I/O error
};

// What a file held when this program last read or wrote it: its size, its
// modification time and a hash of its bytes.
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t modifiedSeconds = 0;  // since the epoch
  std::int64_t modifiedNanoseconds = 0;
  std::uint64_t hash = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// A 64-bit hash of `bytes`, to notice that a file's content changed.
std::uint64_t ContentHash(std::string_view bytes);

struct FileBytes {
  ReadStatus status = ReadStatus::kMissing;
  Sjis bytes;
  std::string reason;  // the system's reason (UTF-8) when not read
  FileStamp stamp;     // when read
};

// Whether the file at `path` holds something else than `stamp` says: its
// size or the hash of its bytes differ (a new modification time alone, the
// same bytes written again, is no change). A file that is no longer there,
// or cannot be read, has lost nothing a save could overwrite: not changed.
// The file's stamp when it changed.
std::optional<FileStamp> ChangedOnDisk(const std::filesystem::path& path, const FileStamp& stamp);

// No event or state file comes near this; a larger one is refused rather
// than read into memory.
constexpr std::size_t kFileSizeLimit = std::size_t{64} << 20;

// The whole content of a regular file, byte for byte. Opening never waits
// (a FIFO or a device named as a file is refused, not read), and a file over
// kFileSizeLimit is refused.
FileBytes ReadWholeFile(const std::filesystem::path& path);

struct WriteOutcome {
  bool ok = false;
  std::string reason;  // the system's reason (UTF-8) on failure
  FileStamp stamp;     // the written file's, on success
};

// The steps of an overwrite in place, in their order. A save stopped after
// any of them leaves the target old or new, or its backup holding the old
// text; stopped before kBackupWritten, the target is untouched and at most
// an incomplete copy is left under the backup's temporary name.
enum class OverwriteStep {
  kBackupCopied,    // the old text is on disk under the backup's temporary name
  kBackupWritten,   // the old text is in the backup, on disk
  kNewTextWritten,  // the new text is at the start of the target
  kCutToLength,     // the target ends where the new text ends
  kSynced,          // the target is on disk
  kBackupRemoved,
};

// Called after each step; a test stops the save there by throwing.
using OverwriteStepHook = std::function<void(OverwriteStep)>;

// Replaces `target` by `bytes` so that it is never left half written: the
// text goes to an unnamed temporary file in the same folder, is flushed to
// disk and then renamed over the target, which keeps its permissions, owner
// and group. A symbolic link is written through to the file it names.
//
// Refused before anything is written: a text over kFileSizeLimit (it could
// not be read back), a target that is not a regular file (a folder, a FIFO,
// a device, a link to nothing) and one the user may not write. A target
// with several hard links, or one whose owner or group the new file could
// not be given, is overwritten in place: the old text is first copied to
// the backup's temporary name (IncompleteBackupPath, where a leftover of an
// interrupted copy is replaced), flushed to disk and renamed to its backup
// (BackupPath), so a backup is always whole; the backup is removed once the
// new text is on disk. A backup already there is never overwritten, the
// save is refused.
// On failure no temporary file is left behind and the target holds its old
// text.
WriteOutcome WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                                 const OverwriteStepHook& afterStep = {});

// Where an overwrite in place keeps the old text of `file` while it runs:
// beside it, its name followed by ".qev-backup" (the name cut so that the
// whole stays within the system's limit).
std::filesystem::path BackupPath(const std::filesystem::path& file);

// Where the backup of `file` is written before it is complete: its name
// followed by ".qev-backup-incomplete" (cut as in BackupPath).
std::filesystem::path IncompleteBackupPath(const std::filesystem::path& file);

// The backup an interrupted overwrite of `file` left behind, if there is
// one: a whole copy of the file's previous content.
std::optional<std::filesystem::path> LeftoverBackup(const std::filesystem::path& file);
// The incomplete copy a save of `file` interrupted while copying left
// behind, if there is one. It is not the previous content; that save had
// not touched the file yet.
std::optional<std::filesystem::path> LeftoverIncompleteBackup(const std::filesystem::path& file);

// Creates `path` with `bytes`, flushed to disk. Refused when anything by that
// name is already there, so no file is ever replaced; a file that could not
// be written whole is removed again.
WriteOutcome WriteNewFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace qev
