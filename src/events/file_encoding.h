#pragma once

#include <string>
#include <string_view>

#include "text/cp932.h"

namespace qev {

// How an event file stores its text. The program holds CP932 text; a file
// that Linux editors wrote as UTF-8 is converted to CP932 as it is read and
// back to UTF-8, as it was, when it is written.
struct FileForm {
  bool utf8 = false;
  bool byteOrderMark = false;  // UTF-8 that starts with EF BB BF
  bool lfLineEnds = false;     // UTF-8 whose lines end with LF alone
  friend bool operator==(const FileForm&, const FileForm&) = default;
};

// Valid UTF-8 with at least one multi-byte sequence. Japanese saved as UTF-8
// is often valid CP932 byte for byte (as other characters), while CP932
// Japanese is practically never valid UTF-8: its kana and most kanji lead
// with bytes UTF-8 allows only inside a sequence.
bool LooksLikeMultiByteUtf8(std::string_view bytes);

// A file's text as the program holds it.
struct FileText {
  Sjis text;  // CP932
  FileForm form;
  // Why a UTF-8 file cannot be taken in: its first character (UTF-8) that
  // Shift-JIS has no form for, or stores as another (〜 as ～), and its line
  // (from 1). Empty when it can.
  std::string unkeptCharacter;
  bool storedAsAnother = false;
  int problemLine = 0;
  bool ok() const { return unkeptCharacter.empty(); }
};

// What to tell the user about a refused UTF-8 file (UTF-8): in Japanese for
// the window, in English for --check.
std::string UnkeptCharacterMessage(const FileText& file);
std::string UnkeptCharacterProblem(const FileText& file);

// A file's bytes as CP932 text. A file that starts with a UTF-8 byte-order
// mark, or is valid UTF-8 throughout with at least one multi-byte character,
// is UTF-8: it is taken in when every character has a Shift-JIS form that
// reads back as the same character (so that it is saved back byte for
// byte), and refused otherwise. Any other file is CP932 and taken as it is.
FileText ReadFileText(std::string_view bytes);
// The same, keeping the bytes themselves when they are taken as they are.
FileText ReadFileText(std::string&& bytes);

// The bytes to write for CP932 text `text` (lines ended by CR LF) in the
// form of the file it came from.
std::string EncodeFileText(const Sjis& text, const FileForm& form);

}  // namespace qev
