#include "text/collation.h"

#include <algorithm>
#include <array>

namespace qev {
namespace {

// Rank of a byte: the class in the high bits, the byte within its class in
// the low ones.
constexpr int Rank(unsigned char c) {
  if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
  int cls;
  if (c >= 0x80) {
    cls = 3;
  } else if (c >= 'a' && c <= 'z') {
    cls = 2;
  } else if (c >= '0' && c <= '9') {
    cls = 1;
  } else {
    cls = 0;
  }
  return cls << 8 | c;
}

// The ranks of all bytes, looked up instead of classified per comparison.
constexpr std::array<int, 256> kRanks = [] {
  std::array<int, 256> ranks{};
  for (int c = 0; c < 256; ++c)
    ranks[static_cast<std::size_t>(c)] = Rank(static_cast<unsigned char>(c));
  return ranks;
}();

}  // namespace

int CollateCompare(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (a[i] == b[i]) continue;
    const int ra = kRanks[static_cast<unsigned char>(a[i])];
    const int rb = kRanks[static_cast<unsigned char>(b[i])];
    if (ra != rb) return ra < rb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace qev
