#include "text/circled.h"

#include <array>
#include <cstddef>

namespace qev {

const Sjis& CircledNumber(int n) {
  static const std::array<const Sjis*, 10> numbers{&"①"_sj, &"②"_sj, &"③"_sj, &"④"_sj, &"⑤"_sj,
                                                   &"⑥"_sj, &"⑦"_sj, &"⑧"_sj, &"⑨"_sj, &"⑩"_sj};
  return *numbers.at(static_cast<std::size_t>(n - 1));
}

}  // namespace qev
