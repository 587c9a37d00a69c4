#include "text/cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>

namespace qev {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// One conversion descriptor per direction, opened once: iconv_open is far
// too slow for every label the control panel draws.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  enum class Stop { kDone, kInvalid, kIncomplete };

  // Converts as much of `in` as possible, appending to `out`; `in` is
  // advanced past what was converted.
  Stop Convert(std::string_view& in, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buffer[1024];
    while (!in.empty()) {
      char* src = const_cast<char*>(in.data());
      size_t srcLeft = in.size();
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      int err = errno;
      out.append(buffer, static_cast<size_t>(dst - buffer));
      in.remove_prefix(in.size() - srcLeft);
      if (r != static_cast<size_t>(-1)) continue;
      if (err == E2BIG) continue;
      return err == EINVAL ? Stop::kIncomplete : Stop::kInvalid;
    }
    return Stop::kDone;
  }

 private:
  iconv_t cd_;
};

Converter& Decoder() {
  static Converter c("UTF-8", "CP932");
  return c;
}

Converter& Encoder() {
  static Converter c("CP932", "UTF-8");
  return c;
}

size_t Utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

}  // namespace

std::string DecodeCp932(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  while (!bytes.empty()) {
    if (Decoder().Convert(bytes, out) == Converter::Stop::kDone) break;
    out.append(kReplacement);
    bytes.remove_prefix(1);
  }
  return out;
}

std::string_view CutOnCharBoundary(std::string_view bytes, std::size_t limit) {
  if (bytes.size() <= limit) return bytes;
  std::size_t end = 0;
  while (end < limit) {
    auto c = static_cast<unsigned char>(bytes[end]);
    std::size_t n = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC) ? 2 : 1;
    if (end + n > limit) break;
    end += n;
  }
  return bytes.substr(0, end);
}

bool IsValidCp932(std::string_view bytes) {
  std::string out;
  return Decoder().Convert(bytes, out) == Converter::Stop::kDone;
}

Cp932Encoding EncodeCp932(std::string_view utf8) {
  Cp932Encoding result;
  std::string_view rest = utf8;
  if (Encoder().Convert(rest, result.bytes) != Converter::Stop::kDone) {
    size_t n = std::min(Utf8Length(static_cast<unsigned char>(rest.front())), rest.size());
    result.unencodable = std::string(rest.substr(0, n));
  }
  return result;
}

namespace {
struct TransparentHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
}  // namespace

const Sjis& Cp932Literal(std::string_view utf8) {
  static std::unordered_map<std::string, std::unique_ptr<Sjis>, TransparentHash, std::equal_to<>>
      cache;
  auto it = cache.find(utf8);
  if (it != cache.end()) return *it->second;
  Cp932Encoding e = EncodeCp932(utf8);
  if (!e.ok()) {
    throw std::logic_error("literal not encodable in CP932: " + std::string(utf8));
  }
  auto owned = std::make_unique<Sjis>(std::move(e.bytes));
  const Sjis& ref = *owned;
  cache.emplace(std::string(utf8), std::move(owned));
  return ref;
}

}  // namespace qev
