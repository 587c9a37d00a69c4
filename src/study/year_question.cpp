#include "study/year_question.h"

#include "study/event_key.h"
#include "study/study_log.h"
#include "study/year_grade.h"
#include "text/byte_fields.h"
#include "text/cp932.h"

namespace qev {

std::string_view YearQuestion::name() const {
  return kYearKindName;
}

bool YearQuestion::Asks(std::string_view line) const {
  return FirstDate(line).has_value();
}

Question YearQuestion::Make(const StudyEvent& asked, EventPool& /*pool*/) const {
  return {{asked}};
}

namespace {

// A field without the approximate-date mark, which the panels never show.
std::string Unmarked(std::string_view field) {
  if (field.starts_with('*')) field.remove_prefix(1);
  return DecodeCp932(field);
}

}  // namespace

std::string YearQuestion::Prompt(const Question& question) const {
  if (question.events.empty()) return {};
  return Unmarked(EventTextField(question.events.front().line));
}

std::string YearQuestion::Hint(const Question& question) const {
  if (question.events.empty()) return {};
  const std::string_view line = question.events.front().line;
  return "時代: " + Unmarked(Field(line, ';', 2)) + "\nメモ1: " + DecodeCp932(Field(line, ';', 4));
}

std::optional<Graded> YearQuestion::Judge(const Question& question, const KindAnswer& answer,
                                          bool hintShown) const {
  const auto* typed = std::get_if<TypedAnswer>(&answer);
  if (!typed || question.events.empty()) return std::nullopt;
  const std::optional<EraYear> year = ParseTypedYear(typed->text);
  if (!year) return std::nullopt;
  const Grade grade = GradeYear(ParseEvent(question.events.front().line), *year, hintShown);
  return Graded{grade == Grade::kAgain ? AnswerVerdict::kWrong : AnswerVerdict::kRight, grade,
                typed->text};
}

}  // namespace qev
