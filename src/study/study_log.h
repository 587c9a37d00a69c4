#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "study/event_key.h"

namespace qev {

// The study log "学習記録.csv" in the data folder: one line per answer, UTF-8
// CSV with a header line. Only ever appended to, so a crash loses at most the
// answer being written.
inline constexpr const char* kStudyLogName = "学習記録.csv";

// One answer as the log holds it. Texts are UTF-8.
struct StudyLogEntry {
  LocalTime time;
  std::string baseName;   // the event file's base name
  std::string dateField;  // the line's first field, "AD0794"
  std::string eventText;  // the event text as the line holds it ("*" included)
  std::string answer;     // as typed; empty when given up
  bool right = false;
  int levelBefore = 1;  // memorisation levels 1..5
  int levelAfter = 1;
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

// What the schedule and the record need of the log: when each event was last
// answered, and every answer's day and outcome.
class StudyLog {
 public:
  struct Answer {
    int day = 0;  // DayNumber
    bool right = false;
  };

  // The lines of a log file's bytes, one record each: a record never goes
  // on past its line, even from an open quote. A last line without its line
  // break (cut by a crash) and malformed lines are skipped.
  static StudyLog Parse(std::string_view bytes);
  // The log file at `path`; empty when there is none, it cannot be read or
  // ResolveLogFile refuses it.
  static StudyLog Read(const std::filesystem::path& path);

  // An answer given now, as appending it to the file would record it.
  void Note(EventKey key, const LocalTime& time, bool right);

  // When the event was last answered (a Moment), or nothing.
  std::optional<std::int64_t> LastAnswered(EventKey key) const;
  // The same for many keys at once, in their order: the table's entries are
  // fetched a few keys ahead, as a round looks up thousands of events.
  std::vector<std::optional<std::int64_t>> LastAnswered(std::span<const EventKey> keys) const;
  const std::vector<Answer>& answers() const { return answers_; }
  std::size_t skippedLines() const { return skipped_; }

 private:
  // When each event was last answered, by key: open addressing in one
  // array, since a node per event would cost a cache miss per lookup and a
  // round looks up every event of the line.
  // Key 0 marks a free slot; an event whose key is 0 is kept under 1.
  struct Slot {
    EventKey key = 0;
    std::int64_t moment = 0;
  };
  static EventKey Stored(EventKey key) { return key == 0 ? 1 : key; }
  static std::size_t TableSize(std::size_t events);
  void Rehash(std::size_t size);
  void Reserve(std::size_t events);
  void Shrink();
  Slot& SlotOf(EventKey key);
  const Slot* Find(EventKey key) const;
  std::vector<Slot> last_;
  std::size_t used_ = 0;
  std::vector<Answer> answers_;
  std::size_t skipped_ = 0;
};

}  // namespace qev
