#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace qev {

// Text as the event files hold it: CP932 (Shift-JIS) bytes. Every position,
// length and limit on such text is a byte count.
//
// A type of its own, so that UTF-8 text never becomes CP932 without a
// conversion: bytes become Sjis only explicitly, by EncodeCp932, a "…"_sj
// literal, or where they were read from a CP932 file or line.
class Sjis : public std::string {
 public:
  Sjis() = default;
  explicit Sjis(std::string bytes) : std::string(std::move(bytes)) {}
  explicit Sjis(std::string_view bytes) : std::string(bytes) {}
  explicit Sjis(const char* bytes) : std::string(bytes) {}
  Sjis(const char* bytes, std::size_t n) : std::string(bytes, n) {}
  Sjis(std::size_t n, char c) : std::string(n, c) {}
  template <typename It>
  Sjis(It first, It last) : std::string(first, last) {}

  // The same bytes, as a view of CP932 text.
  std::string_view view() const { return *this; }
  // Part of CP932 text is CP932 text (cut on a character boundary or not).
  Sjis substr(std::size_t pos = 0, std::size_t n = npos) const {
    return Sjis(std::string::substr(pos, n));
  }
};

inline Sjis operator+(const Sjis& a, const Sjis& b) {
  Sjis r = a;
  r.append(b);
  return r;
}
inline Sjis operator+(Sjis&& a, const Sjis& b) {
  a.append(b);
  return std::move(a);
}

// CP932 bytes to UTF-8. Never fails: an invalid or cut sequence shows as
// U+FFFD and decoding goes on with the next byte.
std::string DecodeCp932(std::string_view bytes);

// Whether every byte sequence of `bytes` is valid CP932.
bool IsValidCp932(std::string_view bytes);

// The longest start of `bytes` of at most `limit` bytes that does not end
// inside a double-byte character (lead byte 0x81..0x9F or 0xE0..0xFC).
std::string_view CutOnCharBoundary(std::string_view bytes, std::size_t limit);

struct Cp932Encoding {
  Sjis bytes;
  // The first character (as UTF-8) that CP932 cannot hold; empty on success.
  std::string unencodable;
  bool ok() const { return unencodable.empty(); }
};

// UTF-8 to CP932. Stops at the first character CP932 cannot hold (or at
// invalid UTF-8) and reports it.
Cp932Encoding EncodeCp932(std::string_view utf8);

// A UTF-8 source literal as CP932 bytes, converted once and cached for the
// life of the program. The literal must be encodable.
const Sjis& Cp932Literal(std::string_view utf8);

inline namespace literals {
inline const Sjis& operator""_sj(const char* s, std::size_t n) {
  return Cp932Literal(std::string_view(s, n));
}
}  // namespace literals

}  // namespace qev
