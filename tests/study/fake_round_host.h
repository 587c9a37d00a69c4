#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "events/event_line.h"
#include "study/event_key.h"
#include "study/fsrs_scheduler.h"
#include "study/leitner_scheduler.h"
#include "study/round.h"
#include "study/study_log.h"
#include "study/year_question.h"
#include "text/byte_fields.h"

namespace qev::testing {

// The year kind alone, for the tests of what a round does with any kind.
inline const StudyRegistry& YearOnly() {
  static const StudyRegistry registry = [] {
    StudyRegistry r;
    r.Add(std::make_unique<YearQuestion>());
    r.Add(std::make_unique<FsrsScheduler>());
    r.Add(std::make_unique<LeitnerScheduler>());
    return r;
  }();
  return registry;
}

// The main screen as a map of lines by id, recording what it was asked.
class FakeRoundHost : public RoundHost {
 public:
  explicit FakeRoundHost(std::filesystem::path log) : log_(std::move(log)) {}
  std::map<std::uint64_t, Sjis> lines;  // by serial; slot = serial / 100
  std::vector<TimelinePoint> points;
  std::vector<std::uint64_t> shown;
  bool hidden = false;
  bool left = false;  // the round ended with a question open
  std::vector<QuestionMarks::Label> marks;
  LocalTime now{2026, 12, 9, 9, 0, 0};

  const std::vector<TimelinePoint>& PoolPoints() override {
    points.clear();
    for (const auto& [serial, line] : lines) {
      TimelinePoint p;
      p.slot = Id(serial).slot;
      p.serial = serial;
      p.memorisation = ByteAt(line, kMemorisationPos);
      points.push_back(p);
    }
    return points;
  }
  std::vector<std::optional<PoolLine>> LinesOf(
      std::span<const TimelinePoint* const> asked) override {
    std::vector<std::optional<PoolLine>> found;
    for (const TimelinePoint* point : asked) {
      found.push_back(PoolLine{"f", lines.at(point->serial)});
    }
    return found;
  }
  // The lines that differ from those the stamp's reader last saw, whoever
  // changed them; a new reader is told to read them all.
  std::optional<std::vector<EventId>> ReplacedSince(LinesStamp& stamp) override {
    if (stamp[0] == 0) {
      stamp[0] = seen_.size() + 1;
      seen_.push_back(lines);
      return std::nullopt;
    }
    std::map<std::uint64_t, Sjis>& seen = seen_.at(stamp[0] - 1);
    std::vector<EventId> replaced;
    for (const auto& [serial, line] : lines) {
      const auto it = seen.find(serial);
      if (it == seen.end() || it->second != line) replaced.push_back(Id(serial));
    }
    seen = lines;
    return replaced;
  }
  static EventId Id(std::uint64_t serial) { return {static_cast<int>(serial / 100), serial}; }
  std::optional<Sjis> EventLine(EventId id) override { return lines.at(id.serial); }
  void ShowQuestion(EventId id, const Concealment& concealed) override {
    shown.push_back(id.serial);
    hidden = concealed.years;
  }
  void RevealAnswer(std::vector<QuestionMarks::Label> shownMarks) override {
    hidden = false;
    marks = std::move(shownMarks);
  }
  void LeaveQuestion() override { left = true; }
  bool SetMemorisationLevel(EventId id, int level) override {
    lines.at(id.serial)[9] = static_cast<char>('0' + level);
    return true;
  }
  std::vector<StudySlot> LoadedSlots() override { return {StudySlot{Sjis("f"), 0}}; }
  LocalTime Now() override { return now; }
  std::filesystem::path StudyLogPath() override { return log_; }

 private:
  std::filesystem::path log_;
  std::vector<std::map<std::uint64_t, Sjis>> seen_;  // by reader
};

// A right answer to the typed year of the event of `line` in file "f",
// logged at `time` in the log's first eight columns.
inline void LogAnswer(const std::filesystem::path& log, std::string_view line,
                      const LocalTime& time) {
  StudyLogEntry entry;
  entry.time = time;
  entry.baseName = "f";
  entry.dateField = std::string(EventDateField(line));
  entry.eventText = std::string(EventTextField(line));
  entry.answer = "1";
  entry.right = true;
  entry.levelBefore = 2;
  entry.levelAfter = 3;
  entry.grade = Grade::kGood;
  AppendStudyLog(log, entry);
}

}  // namespace qev::testing
