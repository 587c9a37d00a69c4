#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "text/cp932.h"

namespace qev {

// An empty event file made from the name and title the user typed.
struct NewEventFile {
  std::filesystem::path path;  // in the data folder, name + ".txt"
  Sjis baseName;               // the name as the slot keeps it
  Sjis title;                  // as the header holds it
  Sjis text;                   // "H;title;;date;" CR LF ";" CR LF
  std::string problem;         // UTF-8; empty when the file can be written
  bool ok() const { return problem.empty(); }
};

// Plans the new file `name` (UTF-8, ".txt" added unless typed) in `folder`,
// titled `title` (the name when left empty), dated `clockText`. Refused with
// the reason: a name that is not a plain file name (empty, a folder part,
// "." or "..", a leading "."), a name or title CP932 cannot hold, a title
// with ";" or longer than the header keeps, and a file that already exists.
NewEventFile PlanNewEventFile(const std::filesystem::path& folder, std::string_view name,
                              std::string_view title, const Sjis& clockText);

}  // namespace qev
