#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "events/event_date.h"
#include "events/event_id.h"
#include "study/event_pool.h"
#include "study/grade.h"
#include "study/line_click.h"
#include "timeline/question_marks.h"

namespace qev {

// One question of a round: the asked card's event first, then any events a
// kind asks with it; `order` lists them as the question shows them, when
// that differs (indices into `events`).
struct Question {
  std::vector<StudyEvent> events;
  std::vector<std::size_t> order;
};

// The answers a question can take: typed text (UTF-8), an order of the
// question's events, a place on the line.
struct TypedAnswer {
  std::string text;
};
struct EventOrder {
  std::vector<EventId> events;
};
using KindAnswer = std::variant<TypedAnswer, EventOrder, LinePlace>;

enum class AnswerVerdict {
  kRight,
  kWrong,
  kUnreadable,  // not an answer: the question stays open
};

struct Graded {
  AnswerVerdict verdict = AnswerVerdict::kWrong;
  Grade grade = Grade::kAgain;
  std::string logged;  // the answer as the log writes it (UTF-8)
  // The year a wrong answer named, which may be another event's.
  std::optional<EraYear> wrongYear;
};

// What the main screen hides while a question is open.
struct Concealment {
  bool years = true;   // the asked event's years, everywhere
  bool place = false;  // where it lies: no point mark, no panel shows it
};

// One way of asking an event. A kind is a file of its own and one line of
// the study registry; the round and the schedulers know it only by this.
class QuestionKind {
 public:
  virtual ~QuestionKind() = default;
  // Its name, as the log's kind column writes it and the windows show it.
  virtual std::string_view name() const = 0;
  // Whether the event of the line (CP932) can be asked this way: whether
  // it has a card of this kind.
  virtual bool Asks(std::string_view line) const = 0;
  // Whether its cards wait until the event has been answered by year once.
  virtual bool AfterYear() const { return false; }
  // The question on `asked`; `pool` offers the events asked with it.
  virtual Question Make(const StudyEvent& asked, EventPool& pool) const = 0;
  virtual Concealment Conceals() const = 0;
  // What the question shows (UTF-8).
  virtual std::string Prompt(const Question& question) const = 0;
  // What "ヒント" shows (UTF-8).
  virtual std::string Hint(const Question& question) const = 0;
  // Whether its card's memory sets the event's memorisation digit: one
  // kind's alone, so that the digit keeps one meaning.
  virtual bool SetsMemorisationLevel() const { return false; }
  // Whether a click on the line answers it.
  virtual bool TakesLineClicks() const { return false; }
  // The verdict and the grade of `answer`, or nothing for an answer this
  // kind cannot read. The question's events hold their lines of now.
  virtual std::optional<Graded> Judge(const Question& question, const KindAnswer& answer,
                                      bool hintShown) const = 0;
  // What the line marks once `answer` is given: none unless the kind says.
  virtual std::vector<QuestionMarks::Label> Marks(const Question& /*question*/,
                                                  const KindAnswer& /*answer*/) const {
    return {};
  }
};

}  // namespace qev
