#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qev {

struct FileProblem {
  int line = 0;         // physical line, counted from 1
  std::string message;  // English
};

// Checks the text of an event list file for what would keep events off the
// timeline or garble them: malformed event lines, bytes that are not CP932,
// a file saved as UTF-8. Reads up to the end marker, as the program does.
std::vector<FileProblem> CheckEventFile(std::string_view text);

}  // namespace qev
