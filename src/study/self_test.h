#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "events/event_id.h"
#include "events/timeline_point.h"
#include "platform/platform.h"
#include "study/answer_check.h"
#include "study/schedule.h"
#include "study/study_log.h"
#include "study/study_stats.h"
#include "text/cp932.h"

namespace qev {

// An event's line as the host holds it, with its file's base name; the
// views stay valid until the slots change.
struct PoolLine {
  std::string_view baseName;
  std::string_view line;
};

// One event of the pool with its line.
struct PoolEvent {
  EventId id;  // its slot included
  std::string_view baseName;
  std::string_view line;
  char memorisation = '\0';  // the line's memorisation digit
};

// One question of a round.
struct StudyEvent {
  EventId id;     // its slot included
  Sjis baseName;  // of the slot's file
  Sjis line;
};

// A loaded file as the record names it.
struct StudySlot {
  Sjis title;
  int slot = -1;
};

// What a round needs of the main screen.
class SelfTestHost {
 public:
  virtual ~SelfTestHost() = default;
  // Every event on the timeline under the current filters and slot
  // switches, in timeline order, with its memorisation digit; valid until
  // the points change.
  virtual const std::vector<TimelinePoint>& PoolPoints() = 0;
  // The lines of points of the pool, in their order; nothing for a point
  // whose line is gone.
  virtual std::vector<std::optional<PoolLine>> LinesOf(
      std::span<const TimelinePoint* const> points) = 0;
  // The event's line now, or nothing when it is gone.
  virtual std::optional<Sjis> EventLine(EventId id) = 0;
  // Selects the event with the timeline scrolled to it and its years hidden
  // everywhere on the main screen.
  virtual void ShowQuestion(EventId id) = 0;
  // Shows the years again.
  virtual void RevealAnswer() = 0;
  // Sets the event's memorisation level as a click on "記憶度変更=" does
  // (undoable, the slot changed); false when the line was refused.
  virtual bool SetMemorisationLevel(EventId id, int level) = 0;
  // Every loaded slot, in slot order.
  virtual std::vector<StudySlot> LoadedSlots() = 0;
  virtual LocalTime Now() = 0;
  virtual std::filesystem::path StudyLogPath() = 0;
};

struct RoundSummary {
  int questions = 0;  // answered
  int right = 0;
  int wrong = 0;
  int levelsUp = 0;
  int levelsDown = 0;
};

struct AnswerOutcome {
  AnswerVerdict verdict = AnswerVerdict::kUnreadable;
  Sjis dateText;  // the date as the panels write it
  int levelBefore = 1;
  int levelAfter = 1;
  // Why the log line could not be written (UTF-8); empty when it was.
  std::string logProblem;
};

// A round of the self-test: its questions, the answers, the level changes
// and the study log, with the host doing what the screen shows.
class SelfTest {
 public:
  explicit SelfTest(SelfTestHost& host) : host_(host) {}

  enum class Start {
    kRound,       // questions are ready
    kNothingDue,  // nothing due: see nextDueDay(), StartLowestLevelRound
    kEmptyPool,   // no event on the line
  };
  // Plans a round of at most `n` due questions and shows the first.
  Start StartRound(int n);
  // A round of the `n` lowest-level events, due or not.
  Start StartLowestLevelRound(int n);

  // The question shown: the event, its position (0-based) and the count.
  bool asking() const { return index_ < questions_.size() && !revealed_; }
  bool revealed() const { return revealed_; }
  bool over() const { return index_ >= questions_.size(); }
  const StudyEvent* current() const;
  std::size_t index() const { return index_; }
  std::size_t count() const { return questions_.size(); }

  // Answers the question with the typed year; kUnreadable leaves it open.
  AnswerOutcome Answer(std::string_view typed);
  // "わからない": a wrong answer with nothing typed.
  AnswerOutcome GiveUp();
  // Goes to the next question; false when the round is over.
  bool Next();
  // Ends the round early (Esc, "終了"): the open question stays unanswered
  // and the years are shown again.
  void End();

  const RoundSummary& summary() const { return summary_; }
  // The slots a level change of this round touched, ascending.
  std::vector<int> changedSlots() const;
  // The first day (DayNumber), today or later, on which an event of the pool
  // is due.
  std::optional<int> NextDueDay();

  LocalTime Now() const { return host_.Now(); }

  // The numbers of "学習の記録" now.
  StudyRecord Statistics();

  // The study log, read from its file the first time it is needed.
  const StudyLog& log();

 private:
  // Events of the pool that can be asked (each has a first date), with
  // their keys in the log, in the same order.
  struct Askable {
    std::vector<PoolEvent> events;
    std::vector<EventKey> keys;
  };
  // The askable events among `points`, in their order.
  Askable LookAt(std::span<const TimelinePoint* const> points);
  Askable AskablePool();
  // The schedule's view of them: one item per event.
  std::vector<ScheduleItem> ScheduleOf(const Askable& pool);
  Start Begin(const std::vector<PoolEvent>& pool, const std::vector<std::size_t>& chosen);
  AnswerOutcome Record(AnswerVerdict verdict, std::string_view typed);
  void ShowCurrent();

  SelfTestHost& host_;
  std::optional<StudyLog> log_;
  std::vector<StudyEvent> questions_;
  std::size_t index_ = 0;
  bool revealed_ = false;
  RoundSummary summary_;
  std::vector<int> touched_;
};

}  // namespace qev
