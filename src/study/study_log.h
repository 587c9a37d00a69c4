#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "study/grade.h"

namespace qev {

// The study log "学習記録.csv" in the data folder: one line per answer, UTF-8
// CSV with a header line. Only ever appended to, so a crash loses at most the
// answer being written.
inline constexpr const char* kStudyLogName = "学習記録.csv";

// The kind of every answer of a log written before the kind column: the
// typed year.
inline constexpr std::string_view kYearKindName = "年";

// One answer as the log holds it. Texts are UTF-8. The first eight columns
// are those of every log; the kind, the grade, the hint, the seconds and the
// event confused follow at the right, so that a log written before them
// reads as before.
struct StudyLogEntry {
  LocalTime time;
  std::string baseName;   // the event file's base name
  std::string dateField;  // the line's first field, "AD0794"
  std::string eventText;  // the event text as the line holds it ("*" included)
  std::string answer;     // as typed; empty when given up
  bool right = false;
  int levelBefore = 1;  // memorisation levels 1..5
  int levelAfter = 1;
  std::string kind = std::string(kYearKindName);  // the question kind's name
  Grade grade = Grade::kAgain;
  bool hint = false;           // a hint was shown before the answer
  std::optional<int> seconds;  // from the question shown to the answer
  // The event whose year a wrong year was (its EventKey, written as 16 hex
  // digits in "取り違え").
  std::optional<std::uint64_t> confusedWith;
};

// An answer read back from the log; its texts are views into the bytes read.
struct StudyLogEntryView {
  LocalTime time;
  std::string_view baseName;
  std::string_view dateField;
  std::string_view eventText;
  std::string_view kind;
  bool right = false;
  Grade grade = Grade::kAgain;
  bool hint = false;
  std::optional<int> seconds;
  std::optional<std::uint64_t> confusedWith;
};

// The header line and one entry's line, each ended by "\n". Fields holding
// a comma, a quote or a CR are quoted, quotes doubled; a line break in a
// field is written as a blank, so that every record is one line.
std::string StudyLogHeader();
std::string StudyLogLine(const StudyLogEntry& entry);

// The log file at `path` in the data folder, which is used only where it
// stays in that folder: a symbolic link is followed to a file inside it,
// and refused (with the reason, in Japanese) when it leads out of it or to
// nothing.
struct LogFile {
  std::filesystem::path path;  // the file to open; empty when refused
  std::string refused;
};
LogFile ResolveLogFile(const std::filesystem::path& path);

// Appends one entry with a single write, the header first when the file is
// new or empty; a last line cut by an earlier crash (inside quotes too) is
// ended first, its quote closed, so that it stays a line of its own, which
// reading skips, and the new entry is a line of its own. Refuses anything
// but a regular file, and a link as ResolveLogFile does. The reason on
// failure, nothing on success.
std::optional<std::string> AppendStudyLog(const std::filesystem::path& path,
                                          const StudyLogEntry& entry);

// Reads the answers of a log file's bytes in file order, handing each to
// `take` with its texts as views valid during the call. A line of twelve
// columns has no confusion; a line of the eight first columns alone is an answer to a typed year,
// graded good when right and again when wrong, without a hint. A record never goes on past its
// line, even from an open quote. A last line without its line break (cut by
// a crash) and malformed lines are skipped; returns their number. A line
// that is not UTF-8 is read as Shift-JIS, as a spreadsheet on a Japanese
// system saves the log again.
std::size_t ReadStudyLog(std::string_view bytes,
                         const std::function<void(const StudyLogEntryView&)>& take);

// The bytes of the log file at `path`; empty when there is none, it cannot
// be read or ResolveLogFile refuses it.
std::string StudyLogBytes(const std::filesystem::path& path);

}  // namespace qev
