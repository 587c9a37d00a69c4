#pragma once

#include <optional>
#include <string_view>

#include "events/event_date.h"
#include "study/question_kind.h"

namespace qev {

// How far off an answer to an approximate date ("ころ") may be, in years.
inline constexpr int kApproximateTolerance = 10;

// The verdict on `typed` (UTF-8, any form ParseTypedYear reads) as the year
// of the first date of the event line `line`: exact dates need the exact
// year, approximate ones are right within kApproximateTolerance years.
// A line without a readable first date takes every answer as wrong.
AnswerVerdict CheckAnswer(std::string_view line, std::string_view typed);

// Years between two years, counted across the eras without a year 0:
// BC 1 and AD 1 are one year apart.
int YearsApart(const EraYear& a, const EraYear& b);

// "年": the event's text is shown and its year typed. Right is good, right
// after the hint hard, wrong again.
class YearQuestion final : public QuestionKind {
 public:
  std::string_view name() const override;
  bool Asks(std::string_view line) const override;
  Question Make(const StudyEvent& asked, EventPool& pool) const override;
  Concealment Conceals() const override { return {}; }
  // The event's text.
  std::string Prompt(const Question& question) const override;
  // The event's period and memo 1.
  std::string Hint(const Question& question) const override;
  std::optional<Graded> Judge(const Question& question, const KindAnswer& answer,
                              bool hintShown) const override;
};

}  // namespace qev
