#include "events/file_check.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "events/event_file.h"
#include "events/event_line.h"
#include "events/file_encoding.h"
#include "events/file_io.h"
#include "text/byte_fields.h"
#include "text/cp932.h"

namespace qev {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsLevel(char c) {
  return c >= '1' && c <= '5';
}

// "AD" or "BC" and four digits, and nothing more.
bool IsEraAndYear(std::string_view s) {
  return s.size() == 6 && (s.substr(0, 2) == "AD" || s.substr(0, 2) == "BC") &&
         std::all_of(s.begin() + 2, s.end(), IsDigit);
}

std::string Quoted(char c) {
  if (c == '\0') return "nothing";
  if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
    return "a non-ASCII byte";
  }
  return std::string("\"") + c + "\"";
}

void CheckEventLine(std::string_view line, int number, std::vector<FileProblem>& problems) {
  auto report = [&](std::string message) { problems.push_back({number, std::move(message)}); };

  std::string_view head = EventHead(line);
  if (head.substr(0, 2) != "AD" && head.substr(0, 2) != "BC") {
    report("the era is not \"AD\" or \"BC\"");
  }
  if (head.size() != 6 ||
      !std::all_of(head.begin() + std::min<std::size_t>(2, head.size()), head.end(), IsDigit)) {
    report("the year is not four digits (\"AD0794\", \"BC0660\")");
  }
  // The level filter looks at one level only, the one the filter priority
  // names, so a bad level hides the event under that priority alone.
  const char importance = ByteAt(line, kImportancePos);
  const char memorisation = ByteAt(line, kMemorisationPos);
  const bool importanceOk = IsLevel(importance);
  const bool memorisationOk = IsLevel(memorisation);
  const struct {
    std::size_t pos;
    char level;
    bool ok;
    const char* name;
    const char* priority;
  } levels[] = {
      {kImportancePos, importance, importanceOk, "importance", "importance first (重要度優先)"},
      {kMemorisationPos, memorisation, memorisationOk, "memorisation level",
       "memorisation first (記憶度優先)"},
  };
  for (const auto& level : levels) {
    if (level.ok) continue;
    std::string what = std::string("the ") + level.name + " (byte " +
                       std::to_string(level.pos + 1) + ") is " + Quoted(level.level) +
                       ", not \"1\" to \"5\": ";
    if (!importanceOk && !memorisationOk) {
      what += "the event never shows";
    } else {
      what += std::string("the event is hidden while the filter priority is ") + level.priority;
    }
    report(what);
  }
  auto fields = std::count(line.begin(), line.end(), ';');
  if (fields < 6) {
    report("only " + std::to_string(fields) + " of the six \";\"-terminated fields");
  }
  std::string_view date = SecondDateText(line);
  if (!date.empty() && !IsEraAndYear(date)) {
    report("the second date is not \"AD\" or \"BC\" and four digits");
  }
}

// What the first character of a line the reader skips is, in words.
std::string FirstCharacter(std::string_view line) {
  const auto c = static_cast<unsigned char>(line.front());
  if (c == ' ') return "a blank";
  if (c == '\t') return "a tab";
  if (c == '\0') return "a NUL byte";
  if (c < 0x20 || c == 0x7F) return "a control character";
  if (c == 'a' || c == 'b') {
    return std::string("\"") + line.front() + "\" (eras are upper-case \"AD\" and \"BC\")";
  }
  if (c < 0x80) return std::string("\"") + line.front() + "\"";
  std::string shown = DecodeCp932(CutOnCharBoundary(line, 2));
  return "\"" + shown + "\"";
}

std::string DroppedMessage(std::string_view line, DroppedLine::Why why, int endMarkerLine) {
  const char* const lost = ": the line is not read, and a save of the slot over this file loses it";
  if (why == DroppedLine::Why::kAfterEndMarker) {
    return "after the end marker \";\" of line " + std::to_string(endMarkerLine) + lost;
  }
  if (why == DroppedLine::Why::kLaterHeader) {
    return "begins with \"H\", but only the first line is the header" + std::string(lost);
  }
  return "begins with " + FirstCharacter(line) + ", not \"A\", \"B\", \"H\" or \";\"" + lost;
}

}  // namespace

std::vector<FileProblem> CheckEventFile(std::string_view bytes) {
  // A UTF-8 file is checked as the text the program takes in; one it
  // refuses is wrong as a whole, and its lines are not reported one by one.
  const FileText file = ReadFileText(bytes);
  if (!file.ok()) return {{file.problemLine, UnkeptCharacterProblem(file)}};
  const std::string_view text = file.text;
  std::vector<FileProblem> problems;
  std::vector<std::string_view> lines = SplitFileLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    int number = static_cast<int>(i) + 1;
    char kind = ByteAt(line, 0);
    if (kind == ';') break;
    if (!IsValidCp932(line)) {
      problems.push_back({number, "bytes that are not valid Shift-JIS (CP932)"});
    }
    if (kind == 'A' || kind == 'B') CheckEventLine(line, number, problems);
  }

  const ParsedFile parsed = ParseEventFile(text);
  if (parsed.crLineEnds) {
    problems.push_back(
        {1, "lines end with CR alone: they are read as lines, and saved with CR LF"});
  }
  if (text.empty()) {
    problems.push_back({1, "the file is empty: no header line and no event line"});
  } else if (parsed.lines.empty() && parsed.headerLine.empty()) {
    problems.push_back({1, "no header line and no event line: nothing in this file is an event"});
  }
  for (const DroppedLine& d : parsed.dropped) {
    problems.push_back({d.line, DroppedMessage(lines[static_cast<std::size_t>(d.line - 1)], d.why,
                                               parsed.endMarkerLine)});
  }
  std::stable_sort(problems.begin(), problems.end(),
                   [](const FileProblem& a, const FileProblem& b) { return a.line < b.line; });
  return problems;
}

int CheckEventFiles(const std::vector<std::string>& paths, std::ostream& out, std::ostream& err) {
  if (paths.empty()) {
    err << "No file to check.\n";
    return 2;
  }
  bool unreadable = false;
  std::size_t problems = 0;
  std::size_t checked = 0;
  for (const std::string& path : paths) {
    // The state file lives beside the event files but is none: its lines
    // are settings, which the event reader would all drop.
    if (std::filesystem::path(path).filename() == "動作状態10.txt") {
      out << path << ": the operating-state file, not an event file: not checked\n";
      continue;
    }
    FileBytes file = ReadWholeFile(path);
    if (file.status != ReadStatus::kRead) {
      err << path << ": cannot be read: "
          << (file.status == ReadStatus::kMissing ? "no such file" : file.reason) << "\n";
      unreadable = true;
      continue;
    }
    ++checked;
    if (ReadFileText(file.bytes).form.utf8) {
      out << path << ": UTF-8: read as its Shift-JIS text, and saved back as UTF-8\n";
    }
    for (const FileProblem& p : CheckEventFile(file.bytes)) {
      out << path << ":" << p.line << ": " << p.message << "\n";
      ++problems;
    }
  }
  if (unreadable) return 2;
  if (problems > 0) return 1;
  out << checked << (checked == 1 ? " file" : " files") << " checked, no problems found.\n";
  return 0;
}

}  // namespace qev
