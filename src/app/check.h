#pragma once

#include <QStringList>

namespace qev {

// `qevline --check FILE...`: checks event files line by line and reports
// what it finds on the terminal. The exit code of the program.
int RunCheck(const QStringList& files);

}  // namespace qev
