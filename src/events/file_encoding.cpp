#include "events/file_encoding.h"

#include <algorithm>

namespace qev {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The length of the UTF-8 character at `i` (1 for a stray byte).
std::size_t CharLength(std::string_view s, std::size_t i) {
  auto c = static_cast<unsigned char>(s[i]);
  std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : 4;
  return std::min(n, s.size() - i);
}

int LineAt(std::string_view text, std::size_t pos) {
  return static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(pos), '\n')) +
         1;
}

}  // namespace

bool LooksLikeMultiByteUtf8(std::string_view s) {
  bool multiByte = false;
  for (std::size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    std::size_t n;
    if (c < 0x80) {
      n = 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
      n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 3;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 4;
    } else {
      return false;
    }
    if (i + n > s.size()) return false;
    for (std::size_t j = 1; j < n; ++j) {
      if ((static_cast<unsigned char>(s[i + j]) & 0xC0) != 0x80) return false;
    }
    multiByte = multiByte || n > 1;
    i += n;
  }
  return multiByte;
}

FileText ReadFileText(std::string_view bytes) {
  FileText out;
  const bool bom = bytes.starts_with(kByteOrderMark);
  if (!bom && !LooksLikeMultiByteUtf8(bytes)) {
    out.text.assign(bytes);
    return out;
  }
  const std::string_view utf8 = bom ? bytes.substr(kByteOrderMark.size()) : bytes;
  out.form = {
      true, bom,
      utf8.find('\n') != std::string_view::npos && utf8.find("\r\n") == std::string_view::npos};
  Cp932Encoding encoded = EncodeCp932(utf8);
  if (!encoded.ok()) {
    out.problemLine = LineAt(utf8, utf8.find(encoded.unencodable));
    out.unkeptCharacter = std::move(encoded.unencodable);
    return out;
  }
  // A character that CP932 stores as another (〜 as ～) would not be saved
  // back as it was.
  const std::string back = DecodeCp932(encoded.bytes);
  if (back != utf8) {
    std::size_t i = 0;
    while (i < back.size() && i < utf8.size() && back[i] == utf8[i]) ++i;
    while (i > 0 && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) --i;
    out.problemLine = LineAt(utf8, i);
    out.unkeptCharacter = utf8.substr(i, CharLength(utf8, i));
    out.storedAsAnother = true;
    return out;
  }
  out.text = std::move(encoded.bytes);
  return out;
}

FileText ReadFileText(std::string&& bytes) {
  if (bytes.starts_with(kByteOrderMark) || LooksLikeMultiByteUtf8(bytes)) {
    return ReadFileText(std::string_view(bytes));
  }
  FileText out;
  out.text = Sjis(std::move(bytes));
  return out;
}

std::string UnkeptCharacterMessage(const FileText& file) {
  return "UTF-8のファイルです。" + std::to_string(file.problemLine) + "行目の文字「" +
         file.unkeptCharacter +
         (file.storedAsAnother ? "」はShift-JISを通すと別の文字になるため"
                               : "」はShift-JISで表せないため") +
         "、このファイルは読み込めません。この文字を直してください。";
}

std::string UnkeptCharacterProblem(const FileText& file) {
  return "the file is UTF-8, and \"" + file.unkeptCharacter + "\" " +
         (file.storedAsAnother ? "becomes another character in Shift-JIS"
                               : "has no Shift-JIS form") +
         ": the program does not read the file";
}

std::string EncodeFileText(const Sjis& text, const FileForm& form) {
  if (!form.utf8) return text;
  std::string out(form.byteOrderMark ? kByteOrderMark : std::string_view());
  const std::string utf8 = DecodeCp932(text);
  if (!form.lfLineEnds) return out + utf8;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
    out += utf8[i];
  }
  return out;
}

}  // namespace qev
