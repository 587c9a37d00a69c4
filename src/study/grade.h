#pragma once

#include <cstdint>

namespace qev {

// How well a card was answered, as flash-card schedulers grade it; the
// study log writes the digit.
enum class Grade : std::uint8_t {
  kAgain = 1,  // wrong, or given up
  kHard = 2,   // right, with effort (a hint shown)
  kGood = 3,   // right
  kEasy = 4,   // right at once
};

}  // namespace qev
