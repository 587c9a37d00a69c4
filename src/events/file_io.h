#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "text/cp932.h"

namespace qev {

enum class ReadStatus {
  kRead,
  kMissing,     // no such file (or no such folder)
  kUnreadable,  // there, but cannot be read: permissions, a folder, an I/O error
};

struct FileBytes {
  ReadStatus status = ReadStatus::kMissing;
  Sjis bytes;
  std::string reason;  // the system's reason (UTF-8) when not read
};

// The whole content of a file, byte for byte.
FileBytes ReadWholeFile(const std::filesystem::path& path);

struct WriteOutcome {
  bool ok = false;
  std::string reason;  // the system's reason (UTF-8) on failure
};

// Replaces `target` by `bytes` so that it is never left half written: the
// text goes to a temporary file in the same folder, is flushed to disk and
// then renamed over the target. On failure the old file stays as it was and
// no temporary file is left behind.
WriteOutcome WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

}  // namespace qev
