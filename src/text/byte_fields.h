#pragma once

#include <cstddef>
#include <string_view>

// Reading values out of CP932 lines by byte position and by counting
// separators. Separators (";", ",", "=") never occur as the second byte of a
// double-byte CP932 character, so byte scans find only real separators.
namespace qev {

constexpr std::size_t kNoPos = std::string_view::npos;

// The byte at `pos`, or '\0' past the end: scans of malformed lines read
// "nothing there" instead of past the string.
inline char ByteAt(std::string_view s, std::size_t pos) {
  return pos < s.size() ? s[pos] : '\0';
}

// Position of the n-th (1-based) `sep` within the first `limit` bytes of s,
// or kNoPos when there are fewer.
std::size_t FindNth(std::string_view s, char sep, int n, std::size_t limit = kNoPos);

// Field `index` (0-based) of s split at `sep`: the bytes after separator
// number `index` up to the next separator or the end. Empty when s has fewer
// than `index` separators.
std::string_view Field(std::string_view s, char sep, int index);

// The text before the first `sep` within the first `limit` bytes; the whole
// scanned part when there is none.
std::string_view Head(std::string_view s, char sep, std::size_t limit = kNoPos);

// The decimal number formed by the leading digits of s: no digit gives 0, a
// run too long for an int saturates instead of overflowing.
int LeadingInt(std::string_view s);

// A single character taken as a one-digit number: a digit gives its value,
// anything else (or a position past the end) gives 0.
int DigitAt(std::string_view s, std::size_t pos);

}  // namespace qev
