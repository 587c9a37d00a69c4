#pragma once

#include <string>
#include <vector>

namespace qev {

// `qevline --check FILE...`: checks event files line by line and reports
// what it finds on the terminal. `files` are the names as given, bytes. The
// exit code of the program.
int RunCheck(const std::vector<std::string>& files);

}  // namespace qev
