#include "events/event_date.h"

#include <string>

#include "events/event_line.h"
#include "text/byte_fields.h"

namespace qev {
namespace {

// One code point of UTF-8 at `pos`, advancing `pos`; invalid bytes give
// U+FFFD and one byte.
char32_t NextCodePoint(std::string_view s, std::size_t& pos) {
  const auto b = static_cast<unsigned char>(s[pos]);
  int extra = b < 0x80 ? 0 : (b >> 5) == 0x6 ? 1 : (b >> 4) == 0xE ? 2 : (b >> 3) == 0x1E ? 3 : -1;
  if (extra < 0 || pos + static_cast<std::size_t>(extra) >= s.size()) {
    ++pos;
    return 0xFFFD;
  }
  char32_t c = extra == 0 ? b : b & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) c = (c << 6) | (static_cast<unsigned char>(s[pos + i]) & 0x3F);
  pos += static_cast<std::size_t>(extra) + 1;
  return c;
}

// The typed text with full-width ASCII folded to ASCII, letters upper case
// and spaces dropped, as UTF-8 again.
std::string Folded(std::string_view utf8) {
  std::string out;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const std::size_t start = pos;
    char32_t c = NextCodePoint(utf8, pos);
    if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;
    if (c == ' ' || c == 0x3000 || c == '\t') continue;
    if (c < 0x80) {
      out.push_back(static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c));
    } else {
      out.append(utf8.substr(start, pos - start));
    }
  }
  return out;
}

bool ConsumePrefix(std::string_view& s, std::string_view prefix) {
  if (!s.starts_with(prefix)) return false;
  s.remove_prefix(prefix.size());
  return true;
}

}  // namespace

TypedYear ReadTypedYear(std::string_view utf8) {
  const std::string folded = Folded(utf8);
  std::string_view s = folded;
  bool bc = false;
  if (ConsumePrefix(s, "紀元前") || ConsumePrefix(s, "前") || ConsumePrefix(s, "BC")) {
    bc = true;
  } else {
    ConsumePrefix(s, "紀元後") || ConsumePrefix(s, "西暦") || ConsumePrefix(s, "AD");
  }
  ConsumePrefix(s, ".");
  std::size_t digits = 0;
  int year = 0;
  while (digits < s.size() && s[digits] >= '0' && s[digits] <= '9') {
    if (year <= 9999) year = year * 10 + (s[digits] - '0');
    ++digits;
  }
  s.remove_prefix(digits);
  ConsumePrefix(s, "年");
  if (digits == 0 || !s.empty()) return {TypedYearKind::kNotAYear, {}};
  if (year < 1 || year > 9999) return {TypedYearKind::kOutOfRange, {}};
  return {TypedYearKind::kYear, {bc, year}};
}

std::optional<EraYear> ParseTypedYear(std::string_view utf8) {
  const TypedYear typed = ReadTypedYear(utf8);
  if (typed.kind != TypedYearKind::kYear) return std::nullopt;
  return typed.year;
}

std::optional<EraYear> FirstDate(std::string_view line) {
  return ParseFileDate(EventHead(line));
}

bool FirstDateApproximate(std::string_view line) {
  return ParseEvent(line).firstApproximate;
}

}  // namespace qev
