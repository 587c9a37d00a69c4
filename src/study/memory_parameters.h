#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "study/fsrs.h"

namespace qev {

// The learner's memory-model parameters, kept in the data folder as plain
// UTF-8 text: a comment header, then one "w0 = 0.212" line per parameter.
// Without the file, or with one that does not hold all 21 as numbers, the
// defaults are used.
inline constexpr const char* kMemoryParametersName = "記憶モデル.txt";

std::string MemoryParametersText(const MemoryParameters& w);
// The parameters of a file's text, each brought into its range; nothing when
// one is missing, given twice or not a finite number, or a line is not a
// comment, blank or "wN = number".
std::optional<MemoryParameters> ParseMemoryParameters(std::string_view text);

// The parameters in the file at `path`, or the defaults.
MemoryParameters ReadMemoryParameters(const std::filesystem::path& path);
// Writes the file so that it is never left half written. The system's
// reason on failure, nothing on success.
std::optional<std::string> WriteMemoryParameters(const std::filesystem::path& path,
                                                 const MemoryParameters& w);

}  // namespace qev
