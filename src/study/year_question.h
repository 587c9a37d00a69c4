#pragma once

#include <optional>
#include <string_view>

#include "study/question_kind.h"

namespace qev {

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
