#pragma once

#include <initializer_list>
#include <string_view>
#include <vector>

#include "text/cp932.h"

namespace qev {

// Lines of CP932 text written as plain byte literals in a test.
inline std::vector<Sjis> SjisLines(std::initializer_list<std::string_view> lines) {
  std::vector<Sjis> out;
  for (std::string_view line : lines) out.emplace_back(line);
  return out;
}

}  // namespace qev
