#pragma once

#include <QString>

#include <functional>
#include <memory>

#include "study/question_kind.h"

class QWidget;

namespace qev {

// The part of the study window that takes one kind's answers.
class AnswerWidget {
 public:
  virtual ~AnswerWidget() = default;
  virtual QWidget* widget() = 0;
  // A new question: empty and open for an answer.
  virtual void Ask(const Question& question) = 0;
  // The answer so far, as the kind reads it.
  virtual KindAnswer Given() const = 0;
  // The kind could not read it: shown for correcting, with the message
  // that says why.
  virtual QString Refused() = 0;
  // Answered: nothing more is taken until the next question.
  virtual void Lock() = 0;
  virtual void Focus() = 0;
  // Called when the learner hands the answer in (Enter); after the answer,
  // to go on.
  std::function<void()> handedIn;
};

// The widget that asks `kind`, made from a table by kind name as the study
// registry lists the kinds; nothing for a kind without one.
std::unique_ptr<AnswerWidget> MakeAnswerWidget(const QuestionKind& kind, QWidget* parent);

}  // namespace qev
