#include "text/collation.h"

#include <algorithm>

namespace qev {
namespace {

// Rank of a byte: the class in the high bits, the byte within its class in
// the low ones.
int Rank(unsigned char c) {
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

}  // namespace

int CollateCompare(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int ra = Rank(static_cast<unsigned char>(a[i]));
    int rb = Rank(static_cast<unsigned char>(b[i]));
    if (ra != rb) return ra < rb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace qev
