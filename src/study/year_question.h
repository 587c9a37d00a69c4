#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "study/question_kind.h"

namespace qev {

// What "ヒント" shows of an event line (CP932), for every kind: its period,
// and memo 1 only when it holds no digit string (half- or full-width) of the
// event's years, which would give the answer away.
std::string EventHint(std::string_view line);

// "年": the event's text is shown and its year typed (any form
// ParseTypedYear reads), graded as GradeYear grades it; a wrong answer is
// again.
class YearQuestion final : public QuestionKind {
 public:
  std::string_view name() const override;
  bool Asks(std::string_view line) const override;
  Question Make(const StudyEvent& asked, EventPool& pool) const override;
  Concealment Conceals() const override { return {}; }
  // The memorisation digit tells how well the year is known.
  bool SetsMemorisationLevel() const override { return true; }
  // The event's text.
  std::string Prompt(const Question& question) const override;
  // The event's period and memo 1.
  std::string Hint(const Question& question) const override;
  std::optional<Graded> Judge(const Question& question, const KindAnswer& answer,
                              bool hintShown) const override;
};

}  // namespace qev
