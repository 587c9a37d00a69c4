#include "study/event_key.h"

#include <string>
#include <vector>

#include "events/event_line.h"
#include "text/byte_fields.h"
#include "text/cp932.h"

namespace qev {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point of one UTF-8 sequence at `pos`, advancing `pos`; invalid
// bytes give U+FFFD and one byte, as decoding does.
char32_t NextUtf8(std::string_view s, std::size_t& pos) {
  const auto b = static_cast<unsigned char>(s[pos]);
  const int extra = b < 0x80           ? 0
                    : (b >> 5) == 0x6  ? 1
                    : (b >> 4) == 0xE  ? 2
                    : (b >> 3) == 0x1E ? 3
                                       : -1;
  if (extra < 0 || pos + static_cast<std::size_t>(extra) >= s.size()) {
    ++pos;
    return kReplacement;
  }
  char32_t c = extra == 0 ? b : b & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) c = (c << 6) | (static_cast<unsigned char>(s[pos + i]) & 0x3F);
  pos += static_cast<std::size_t>(extra) + 1;
  return c;
}

// CP932 to code points by table, built once from DecodeCp932 itself so that
// both sides of a key agree with what the log was written from. Converting
// every event of a large file through iconv for each round would not fit a
// frame.
class Cp932Table {
 public:
  Cp932Table() : single_(256), pair_(256 * 256, kNone) {
    for (int b = 0; b < 256; ++b) single_[b] = Only(std::string(1, static_cast<char>(b)));
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLead(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        pair_[lead * 256 + trail] = Only(std::string(bytes, 2));
      }
    }
  }

  // The next code point of `s` at `pos`, advancing `pos`.
  char32_t Next(std::string_view s, std::size_t& pos) const {
    const auto b = static_cast<unsigned char>(s[pos]);
    if (IsLead(b) && pos + 1 < s.size()) {
      const char32_t c = pair_[b * 256 + static_cast<unsigned char>(s[pos + 1])];
      if (c != kNone) {
        pos += 2;
        return c;
      }
    }
    ++pos;
    return single_[b];
  }

 private:
  static constexpr char32_t kNone = 0xFFFFFFFF;
  static bool IsLead(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
  }
  // The one code point `bytes` decode to; kNone for anything else (an
  // invalid pair decodes as two).
  static char32_t Only(const std::string& bytes) {
    const std::string utf8 = DecodeCp932(bytes);
    std::size_t pos = 0;
    if (utf8.empty()) return kReplacement;
    const char32_t c = NextUtf8(utf8, pos);
    return pos == utf8.size() ? c : kNone;
  }

  std::vector<char32_t> single_;
  std::vector<char32_t> pair_;
};

const Cp932Table& Table() {
  static const Cp932Table table;
  return table;
}

// FNV-1a over code points, fields apart by a separator no text holds.
class KeyHash {
 public:
  KeyHash() = default;
  explicit KeyHash(std::uint64_t state) : h_(state) {}
  std::uint64_t state() const { return h_; }
  void Add(char32_t c) { h_ = (h_ ^ c) * 0x100000001B3ULL; }
  void EndField() { Add(0x110000); }
  // A final mix spreads the bits for the hash table's buckets.
  EventKey Value() const {
    std::uint64_t z = h_ + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }

 private:
  std::uint64_t h_ = 0xCBF29CE484222325ULL;
};

void AddCp932(KeyHash& hash, std::string_view s) {
  const Cp932Table& table = Table();
  for (std::size_t pos = 0; pos < s.size();) hash.Add(table.Next(s, pos));
  hash.EndField();
}

void AddUtf8(KeyHash& hash, std::string_view s) {
  for (std::size_t pos = 0; pos < s.size();) hash.Add(NextUtf8(s, pos));
  hash.EndField();
}

}  // namespace

std::string_view EventDateField(std::string_view line) {
  return EventHead(line);
}

std::string_view EventTextField(std::string_view line) {
  return Field(line, ';', 3);
}

FileKeys::FileKeys(std::string_view baseName) {
  KeyHash hash;
  AddCp932(hash, baseName);
  named_ = hash.state();
}

EventKey FileKeys::Of(std::string_view line) const {
  KeyHash hash(named_);
  AddCp932(hash, EventDateField(line));
  AddCp932(hash, EventTextField(line));
  return hash.Value();
}

EventKey KeyOfEvent(std::string_view baseName, std::string_view line) {
  return FileKeys(baseName).Of(line);
}

EventKey KeyOfLogFields(std::string_view baseName, std::string_view dateField,
                        std::string_view eventText) {
  KeyHash hash;
  AddUtf8(hash, baseName);
  AddUtf8(hash, dateField);
  AddUtf8(hash, eventText);
  return hash.Value();
}

}  // namespace qev
