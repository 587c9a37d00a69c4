#pragma once

#include <cstddef>
#include <filesystem>
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

struct FileBytes {
  ReadStatus status = ReadStatus::kMissing;
  Sjis bytes;
  std::string reason;  // the system's reason (UTF-8) when not read
};

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
};

// Replaces `target` by `bytes` so that it is never left half written: the
// text goes to an unnamed temporary file in the same folder, is flushed to
// disk and then renamed over the target, which keeps its permissions and
// group. A symbolic link is written through to the file it names.
//
// Refused before anything is written: a target that is not a regular file
// (a folder, a FIFO, a device, a link to nothing) and one the user may not
// write. A target with several hard links, or one whose owner or group the
// new file could not keep, is overwritten in place once the whole text has
// been written to a temporary copy. On failure no temporary file is left
// behind.
WriteOutcome WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// Creates `path` with `bytes`, flushed to disk. Refused when anything by that
// name is already there, so no file is ever replaced; a file that could not
// be written whole is removed again.
WriteOutcome WriteNewFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace qev
