#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "text/cp932.h"

namespace qev {

// The event list file: a header line "H;title;;clock;", event lines
// beginning "A" (AD) or "B" (BC), and an end marker line beginning ";".
// Only the first line can be the header.
// Everything is CP932 bytes and is never converted.

constexpr std::size_t kTitleLimit = 99;
// A state-file line is written with at most this many bytes.
constexpr std::size_t kStateLineLimit = 255;

// Whether the text's lines end with CR alone (no LF anywhere, a CR
// somewhere), as old Macintosh editors wrote them.
bool HasCrOnlyLineEnds(std::string_view text);

// The lines of a file's text as the reader sees them: a line ends at LF, a
// CR just before the LF is dropped, a last line without LF counts when it
// is not empty. In a text with CR-only line ends a line ends at CR. The
// views point into `text`.
std::vector<std::string_view> SplitFileLines(std::string_view text);

// A line of the file that the reader does not keep, so a save of the slot
// over the same file loses it. Empty lines hold nothing and are not counted.
struct DroppedLine {
  enum class Why {
    kNotAnEventLine,  // begins with none of "A", "B", "H", ";"
    kLaterHeader,     // begins with "H" but is not the first line
    kAfterEndMarker,  // follows the end marker line
  };
  int line = 0;  // physical line, counted from 1
  Why why = Why::kNotAnEventLine;
};

// What reading one file yields.
struct ParsedFile {
  Sjis headerLine;  // the first line when it begins with "H"
  // Every line read, each + CR LF, end marker included; only when asked
  // for (the state file keeps it).
  Sjis lastFileText;
  Sjis title;  // from the header: empty without one
  // The "A" and "B" lines in file order, as views of the text parsed.
  std::vector<std::string_view> lines;
  std::vector<DroppedLine> dropped;
  int endMarkerLine = 0;    // physical line of the end marker; 0 without one
  bool crLineEnds = false;  // see HasCrOnlyLineEnds
};

enum class ReadText { kDrop, kKeep };  // whether lastFileText is made

ParsedFile ParseEventFile(std::string_view text, ReadText readText = ReadText::kDrop);
// The lines would view a text about to go.
ParsedFile ParseEventFile(std::string&& text, ReadText readText = ReadText::kDrop) = delete;
template <std::size_t N>
ParsedFile ParseEventFile(const char (&text)[N], ReadText readText = ReadText::kDrop) {
  return ParseEventFile(std::string_view(text, N - 1), readText);
}

// The title of a header line: the bytes from position 2 up to the next ";"
// (to the end without one), at most kTitleLimit bytes, cut before a
// double-byte character that would not fit whole.
Sjis HeaderTitle(std::string_view headerLine);

// A file as the writer composes it.
struct ComposedFile {
  Sjis headerLine;  // "H;" + title + ";;", kept as the target's header line
  Sjis text;        // header + clock text + ";" CR LF, body, ";" CR LF
};

ComposedFile ComposeFile(const Sjis& title, const Sjis& clockText, std::string_view body);

// The body of a slot: every line + CR LF. `Lines` is any range of byte
// strings: a slot's lines, a list of lines.
template <typename Lines>
Sjis ComposeSlotBody(const Lines& lines) {
  constexpr std::string_view kLineBreak = "\r\n";
  std::size_t size = 0;
  for (std::string_view line : lines) size += line.size() + kLineBreak.size();
  Sjis body;
  body.reserve(size);
  for (std::string_view line : lines) body.append(line).append(kLineBreak);
  return body;
}

// The body of the state file from the right panel's text (lines separated
// by CR LF): all but its first and last line, each cut to kStateLineLimit
// bytes, + CR LF.
Sjis ComposeStateBody(const Sjis& panelText);

}  // namespace qev
