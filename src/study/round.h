#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "events/event_id.h"
#include "platform/platform.h"
#include "study/card_memories.h"
#include "study/event_pool.h"
#include "study/question_kind.h"
#include "study/review_history.h"
#include "study/scheduler.h"
#include "study/study_registry.h"
#include "study/study_stats.h"
#include "text/cp932.h"

namespace qev {

// The default and the limits of the number of questions of a round.
inline constexpr int kDefaultRoundSize = 20;
inline constexpr int kMinRoundSize = 1;
inline constexpr int kMaxRoundSize = 500;

// A loaded file as the record counts it.
struct StudySlot {
  Sjis title;
  int slot = -1;
};

// What a round needs of the main screen.
class RoundHost : public EventPool {
 public:
  // The event's line now, or nothing when it is gone.
  virtual std::optional<Sjis> EventLine(EventId id) = 0;
  // Selects the event with the timeline scrolled to it and hides what
  // `hidden` says everywhere on the main screen.
  virtual void ShowQuestion(EventId id, const Concealment& hidden) = 0;
  // Shows what the question hid again, with `marks` on the line.
  virtual void RevealAnswer(std::vector<QuestionMarks::Label> marks) = 0;
  // The round ended with the question open: nothing of it is shown.
  virtual void LeaveQuestion() = 0;
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

// A card missed in a round, as its summary lists it.
struct RoundMiss {
  StudyEvent event;
  Sjis dateText;  // the right date, as the panels write it
};

struct AnswerOutcome {
  AnswerVerdict verdict = AnswerVerdict::kUnreadable;
  Sjis dateText;  // the date as the panels write it
  int levelBefore = 1;
  int levelAfter = 1;  // as it will be written when the grade is final
  // A wrong year that is another event's: "1192 は『…』の年です" (UTF-8).
  std::string confusion;
};

// One card of the pool as the study report lists it.
struct CardReport {
  Sjis baseName;
  Sjis line;
  std::string_view kind;
  std::optional<CardState> state;  // nothing when never answered
  int dueDay = 0;
  double recall = 0;  // predicted now; 0 when never answered
};

// A round of questions: the registry's first scheduler says which cards are
// due, its kinds make and grade the questions, the host shows them and sets
// the levels, and every answer is appended to the study log. An answer's
// grade is final when the learner goes on ("簡単" may raise a right one
// until then): only then are its line appended to the log and its level
// written, so that the log is only ever appended to. A missed card comes
// back at the end of the round.
class Round {
 public:
  explicit Round(RoundHost& host, const StudyRegistry& registry = StudyRegistry::Standard());
  // Writes the answer still open to a change of grade.
  ~Round();
  Round(const Round&) = delete;
  Round& operator=(const Round&) = delete;

  // The learner's retention and daily new cards.
  const StudyGoals& goals() const { return goals_; }
  void SetGoals(const StudyGoals& goals);
  // The memory model's parameters, read from the data folder's file at the
  // start; set anew after a fit.
  const MemoryParameters& parameters() const { return memories_.parameters(); }
  void SetParameters(const MemoryParameters& w) { memories_.SetParameters(w); }
  std::filesystem::path ParametersPath();
  // The cards due now and never answered, as the window tells before a
  // round.
  DueCount Count();

  enum class Start {
    kRound,       // questions are ready
    kNothingDue,  // nothing due: see NextDueDay(), StartAnyway
    kEmptyPool,   // no card on the line
  };
  // Plans a round of at most `n` due questions and shows the first.
  Start StartRound(int n);
  // A round of `n` cards though none is due: those the scheduler would ask
  // first (the lowest levels).
  Start StartAnyway(int n);

  // The question shown: the event, its kind, its position (0-based) and the
  // count.
  bool asking() const { return index_ < questions_.size() && !revealed_; }
  bool revealed() const { return revealed_; }
  bool over() const { return index_ >= questions_.size(); }
  const StudyEvent* current() const;
  const Question* question() const;
  const QuestionKind* kind() const;
  std::size_t index() const { return index_; }
  // The kinds a round asks, in the registry's order.
  const std::vector<const QuestionKind*>& kinds() const { return kinds_; }
  // Every kind the registry has.
  const std::vector<const QuestionKind*>& allKinds() const { return allKinds_; }
  // The kinds the next rounds ask (those of the registry ticked), in the
  // registry's order; none ticked asks them all.
  void AskKinds(const std::vector<const QuestionKind*>& ticked);
  std::size_t count() const { return questions_.size(); }
  // Whether a click on the line would answer the open question.
  bool takesLineClicks() const { return asking() && kind()->TakesLineClicks(); }

  // Answers the open question; an answer its kind cannot read leaves it
  // open (kUnreadable).
  AnswerOutcome Answer(const KindAnswer& answer);
  // "わからない": a wrong answer with nothing given.
  AnswerOutcome GiveUp();
  // "簡単": the right answer shown is graded easy; its outcome anew, or
  // nothing when no right answer is open to it.
  std::optional<AnswerOutcome> MarkEasy();
  bool easyOffered() const;
  // "ヒント": what its kind shows as the hint to the open question (UTF-8),
  // now noted for its grade; empty when no question is open.
  std::string ShowHint();
  // Goes to the next question, the answer's grade final; false when the
  // round is over.
  bool Next();
  // Makes the shown answer's grade final (its log line and its level
  // written) without going on, as closing the window or quitting does.
  void Finish();
  // Ends the round early (Esc, "終了"): the open question stays unanswered
  // and what it hid is shown again.
  void End();

  const RoundSummary& summary() const { return summary_; }
  // Why the last answer's log line could not be written (UTF-8); empty when
  // it was.
  const std::string& logProblem() const { return logProblem_; }
  // The cards missed in this round, each once, in the order missed.
  const std::vector<RoundMiss>& misses() const { return misses_; }
  // "間違えた問題をもう一度": a round of the missed cards.
  Start RetryMisses();
  // The slots a level change of this round touched, ascending.
  std::vector<int> changedSlots() const;
  // The first day (DayNumber), today or later, on which a card of the pool
  // is due (a new one on a day that allows more).
  std::optional<int> NextDueDay();

  LocalTime Now() const { return host_.Now(); }

  // The numbers of "学習の記録" now.
  StudyRecord Statistics();
  // Every card of the pool with its memory, in timeline order.
  std::vector<CardReport> Cards();
  const Scheduler& scheduler() const { return *scheduler_; }

  // Every answer of the log, read from its file the first time it is needed.
  const ReviewHistory& history();

 private:
  struct Asked {
    Question question;
    const QuestionKind* kind = nullptr;
    int again = 0;  // times asked again in this round after a miss
  };
  // An answer shown whose grade may still change.
  struct Open {
    Graded graded;
    LocalTime at;
    bool hint = false;
    int seconds = 0;
    AnswerOutcome outcome;
    std::optional<StudyEvent> confused;  // the event whose year was answered
  };
  CardPool Pool();
  Schedule At();
  Start Begin(const std::vector<Card>& cards);
  Start Begin(std::vector<Asked> asked);
  AnswerOutcome Record(const Graded& graded, const KindAnswer& answer,
                       std::optional<StudyEvent> confused);
  // The event of the wrong year `year`, if another of the pool has it.
  std::optional<StudyEvent> EventOfYear(const EraYear& year, EventId asked);
  // The outcome of the open answer with its grade now: the level after it.
  void Predict(Open& open);
  void Commit();
  void ShowCurrent();

  RoundHost& host_;
  std::vector<const QuestionKind*> allKinds_;
  std::vector<const QuestionKind*> kinds_;
  const Scheduler* scheduler_;
  std::optional<ReviewHistory> history_;
  CardMemories memories_;
  // The pool's cards as the scheduler scans them, kept between rounds.
  CardRows rows_;
  StudyGoals goals_;
  std::optional<Open> open_;
  std::vector<RoundMiss> misses_;
  std::vector<Asked> missed_;
  std::string logProblem_;
  std::vector<Asked> questions_;
  std::size_t index_ = 0;
  bool revealed_ = false;
  bool hintShown_ = false;
  LocalTime shownAt_;
  RoundSummary summary_;
  std::vector<int> touched_;
};

}  // namespace qev
