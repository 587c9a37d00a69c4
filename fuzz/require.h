#pragma once

#include <cstdlib>

namespace qev::fuzz {

// A property every input must keep: a broken one stops the run, and
// libFuzzer keeps the input that broke it.
inline void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace qev::fuzz
