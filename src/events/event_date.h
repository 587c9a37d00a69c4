#pragma once

#include <optional>
#include <string_view>

namespace qev {

// A year as the event files count it: an era and a magnitude 1..9999
// (there is no year 0).
struct EraYear {
  bool bc = false;
  int year = 0;

  // BC years negative, AD years positive, so years compare across the eras.
  int Signed() const { return bc ? -year : year; }
  friend bool operator==(const EraYear&, const EraYear&) = default;
};

// A year as a user types it (UTF-8): "794", "０７９４", "794年", "AD794",
// "ad 794", "BC91", "前91", "紀元前91年", "西暦794年". Full-width letters and
// digits count as their ASCII forms and spaces are ignored; a year without
// an era is AD. Nothing for anything else, or a year outside 1..9999.
std::optional<EraYear> ParseTypedYear(std::string_view utf8);

// The same, telling a number outside 1..9999 written as a year ("0",
// "BC10000年") from text that is no year at all.
enum class TypedYearKind { kYear, kOutOfRange, kNotAYear };
struct TypedYear {
  TypedYearKind kind = TypedYearKind::kNotAYear;
  EraYear year;  // for kYear
};
TypedYear ReadTypedYear(std::string_view utf8);

// A date as the files write it, "AD0794" or "BC0091": "A" or "B" (the era),
// any byte, then four digits; bytes after them do not count. Nothing for
// anything else.
// Inline: every parsed event line reads two.
inline std::optional<EraYear> ParseFileDate(std::string_view text) {
  if (text.size() < 6 || (text[0] != 'A' && text[0] != 'B')) return std::nullopt;
  int year = 0;
  for (std::size_t i = 2; i < 6; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    year = year * 10 + (text[i] - '0');
  }
  return EraYear{text[0] == 'B', year};
}

// The first date of an event line ("AD0794;..." or "BC0091;..."), or
// nothing when the line does not start with an era and four digits.
std::optional<EraYear> FirstDate(std::string_view line);

// Whether the first date is approximate: the event text starts with "*".
bool FirstDateApproximate(std::string_view line);

}  // namespace qev
