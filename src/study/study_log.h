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
// a comma, a quote or a line break are quoted, quotes doubled.
std::string StudyLogHeader();
std::string StudyLogLine(const StudyLogEntry& entry);

// Appends one entry with a single write, the header first when the file is
// new or empty; a line cut by an earlier crash is ended first so that the
// new entry stays a line of its own. Refuses anything but a regular file.
// The system's reason on failure, nothing on success.
std::optional<std::string> AppendStudyLog(const std::filesystem::path& path,
                                          const StudyLogEntry& entry);

// What the schedule and the record need of the log: when each event was last
// answered, and every answer's day and outcome.
class StudyLog {
 public:
  struct Answer {
    int day = 0;  // DayNumber
    bool right = false;
    EventKey key = 0;
  };

  // The lines of a log file's bytes. A last line without its line break (cut
  // by a crash) and malformed lines are skipped.
  static StudyLog Parse(std::string_view bytes);
  // The log file at `path`; empty when there is none or it cannot be read.
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
