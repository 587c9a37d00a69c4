#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace qev {

struct FileProblem {
  int line = 0;         // physical line, counted from 1
  std::string message;  // English
};

// Checks the bytes of an event list file for what would keep events off the
// timeline or garble them: malformed event lines, bytes that are not CP932,
// a UTF-8 file the program cannot take in (ReadFileText); a UTF-8 file it
// takes in is checked as its CP932 text. Reads up to the end marker, as the
// program does.
std::vector<FileProblem> CheckEventFile(std::string_view bytes);

// Checks the files at `paths` (UTF-8) and reports every problem on `out` as
// "FILE:LINE: problem", says of a UTF-8 file that it is read as such, then
// gives a one-line summary when no problem was found; a file
// that cannot be read is reported on `err`. Returns the exit code: 0 when
// nothing was found, 1 when something was, 2 when a file could not be read.
int CheckEventFiles(const std::vector<std::string>& paths, std::ostream& out, std::ostream& err);

}  // namespace qev
