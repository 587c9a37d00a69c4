#include "text/byte_fields.h"

#include <algorithm>
#include <climits>

namespace qev {

std::size_t FindNth(std::string_view s, char sep, int n, std::size_t limit) {
  std::size_t end = std::min(limit, s.size());
  for (std::size_t i = 0; i < end; ++i) {
    if (s[i] == sep && --n == 0) return i;
  }
  return kNoPos;
}

std::string_view Field(std::string_view s, char sep, int index) {
  std::size_t start = 0;
  if (index > 0) {
    std::size_t p = FindNth(s, sep, index);
    if (p == kNoPos) return {};
    start = p + 1;
  }
  std::size_t end = s.find(sep, start);
  return s.substr(start, end == kNoPos ? kNoPos : end - start);
}

std::string_view Head(std::string_view s, char sep, std::size_t limit) {
  s = s.substr(0, std::min(limit, s.size()));
  return s.substr(0, s.find(sep));
}

int LeadingInt(std::string_view s) {
  long long value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') break;
    value = std::min<long long>(value * 10 + (c - '0'), INT_MAX);
  }
  return static_cast<int>(value);
}

int DigitAt(std::string_view s, std::size_t pos) {
  char c = ByteAt(s, pos);
  return c >= '0' && c <= '9' ? c - '0' : 0;
}

}  // namespace qev
