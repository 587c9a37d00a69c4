#pragma once

#include <string_view>

namespace qev {

// The one order of text used wherever the program sorts: byte by byte,
// ASCII letters case-insensitively; punctuation (";" included) before
// digits, digits before letters, bytes of 0x80 and above after all ASCII; a
// prefix before its extensions. So keys of one year and slot order by line
// 1, 10, 11, 2.
int CollateCompare(std::string_view a, std::string_view b);

inline bool CollateLess(std::string_view a, std::string_view b) {
  return CollateCompare(a, b) < 0;
}

}  // namespace qev
