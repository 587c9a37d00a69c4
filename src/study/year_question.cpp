#include "study/year_question.h"

#include <cstdlib>

#include "study/event_key.h"
#include "study/study_log.h"
#include "text/byte_fields.h"
#include "text/cp932.h"

namespace qev {

int YearsApart(const EraYear& a, const EraYear& b) {
  const int apart = std::abs(a.Signed() - b.Signed());
  return a.bc != b.bc ? apart - 1 : apart;
}

AnswerVerdict CheckAnswer(std::string_view line, std::string_view typed) {
  const std::optional<EraYear> answer = ParseTypedYear(typed);
  if (!answer) return AnswerVerdict::kUnreadable;
  const std::optional<EraYear> date = FirstDate(line);
  if (!date) return AnswerVerdict::kWrong;
  const int tolerance = FirstDateApproximate(line) ? kApproximateTolerance : 0;
  return YearsApart(*answer, *date) <= tolerance ? AnswerVerdict::kRight : AnswerVerdict::kWrong;
}

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
  const AnswerVerdict verdict = CheckAnswer(question.events.front().line, typed->text);
  if (verdict == AnswerVerdict::kUnreadable) return std::nullopt;
  const bool right = verdict == AnswerVerdict::kRight;
  return Graded{verdict, right ? (hintShown ? Grade::kHard : Grade::kGood) : Grade::kAgain,
                typed->text};
}

}  // namespace qev
