#include "events/event_file.h"

#include <algorithm>

#include "platform/platform.h"
#include "text/byte_fields.h"

namespace qev {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

}  // namespace

bool HasCrOnlyLineEnds(std::string_view text) {
  return text.find('\n') == std::string_view::npos && text.find('\r') != std::string_view::npos;
}

std::vector<std::string_view> SplitFileLines(std::string_view text) {
  std::vector<std::string_view> lines;
  const char lineEnd = HasCrOnlyLineEnds(text) ? '\r' : '\n';
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(lineEnd, start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

Sjis HeaderTitle(std::string_view headerLine) {
  std::string_view rest = headerLine.substr(std::min<std::size_t>(2, headerLine.size()));
  return Sjis(CutOnCharBoundary(Head(rest, ';', kTitleLimit + 1), kTitleLimit));
}

ParsedFile ParseEventFile(std::string_view text, ReadText readText) {
  ParsedFile parsed;
  parsed.crLineEnds = HasCrOnlyLineEnds(text);
  std::vector<std::string_view> lines = SplitFileLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    const int number = static_cast<int>(i) + 1;
    if (parsed.endMarkerLine != 0) {
      if (!line.empty()) parsed.dropped.push_back({number, DroppedLine::Why::kAfterEndMarker});
      continue;
    }
    if (readText == ReadText::kKeep) parsed.lastFileText.append(line).append(kLineBreak);
    char kind = ByteAt(line, 0);
    if (kind == ';') {
      parsed.endMarkerLine = number;
    } else if (kind == 'H' && i == 0) {
      parsed.headerLine.assign(line);
    } else if (kind == 'H') {
      parsed.dropped.push_back({number, DroppedLine::Why::kLaterHeader});
    } else if (kind == 'A' || kind == 'B') {
      parsed.lines.push_back(line);
    } else if (!line.empty()) {
      parsed.dropped.push_back({number, DroppedLine::Why::kNotAnEventLine});
    }
  }
  parsed.title = HeaderTitle(parsed.headerLine);
  return parsed;
}

ComposedFile ComposeFile(const Sjis& title, const Sjis& clockText, std::string_view body) {
  ComposedFile file;
  file.headerLine = "H;"_sj + title + ";;"_sj;
  file.text.reserve(file.headerLine.size() + clockText.size() + body.size() + 6);
  file.text.append(file.headerLine).append(clockText).append(";").append(kLineBreak);
  file.text.append(body);
  file.text.append(";").append(kLineBreak);
  return file;
}

Sjis ComposeStateBody(const Sjis& panelText) {
  std::vector<Sjis> lines = SplitPanelLines(panelText);
  Sjis body;
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
    body.append(lines[i], 0, kStateLineLimit).append(kLineBreak);
  }
  return body;
}

}  // namespace qev
