#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "study/question_kind.h"

namespace qev {

// "位置": the event's text is shown, the line scrolled to have it somewhere
// in view with no point marked and no panel showing it, and the learner
// clicks where it lies. The click's year is graded as a typed year is,
// the tolerance widened by the years one pixel spans there.
class PlaceQuestion final : public QuestionKind {
 public:
  std::string_view name() const override;
  bool Asks(std::string_view line) const override;
  bool AfterYear() const override { return true; }
  Question Make(const StudyEvent& asked, EventPool& pool) const override;
  Concealment Conceals() const override { return {.years = true, .place = true}; }
  std::string Prompt(const Question& question) const override;
  std::string Hint(const Question& question) const override;
  bool TakesLineClicks() const override { return true; }
  // A LinePlace; the log writes the year clicked and how far it was off.
  std::optional<Graded> Judge(const Question& question, const KindAnswer& answer,
                              bool hintShown) const override;
  // The event's place with its date, and the click's with its year and
  // how far off it was.
  std::vector<QuestionMarks::Label> Marks(const Question& question,
                                          const KindAnswer& answer) const override;
};

}  // namespace qev
