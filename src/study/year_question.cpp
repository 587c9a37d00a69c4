#include "study/year_question.h"

#include <vector>

#include "events/event_line.h"
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
  return {{asked}, {}};
}

namespace {

// A field without the approximate-date mark, which the panels never show.
std::string Unmarked(std::string_view field) {
  if (field.starts_with('*')) field.remove_prefix(1);
  return DecodeCp932(field);
}

// The numbers written in digits in UTF-8 text, half- or full-width,
// leading zeros dropped.
std::vector<std::string> DigitStrings(std::string_view text) {
  std::vector<std::string> numbers;
  std::string run;
  auto end = [&] {
    if (run.empty()) return;
    const std::size_t first = run.find_first_not_of('0');
    numbers.push_back(first == std::string::npos ? "0" : run.substr(first));
    run.clear();
  };
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= '0' && c <= '9') {
      run.push_back(static_cast<char>(c));
      ++i;
    } else if (c == 0xEF && i + 2 < text.size() &&
               static_cast<unsigned char>(text[i + 1]) == 0xBC &&
               static_cast<unsigned char>(text[i + 2]) >= 0x90 &&
               static_cast<unsigned char>(text[i + 2]) <= 0x99) {
      run.push_back(static_cast<char>('0' + (static_cast<unsigned char>(text[i + 2]) - 0x90)));
      i += 3;
    } else {
      end();
      ++i;
    }
  }
  end();
  return numbers;
}

}  // namespace

std::string EventHint(std::string_view line) {
  const EventFields event = ParseEvent(line);
  std::string hint = "時代: " + Unmarked(Field(line, ';', 2));
  const std::string memo = DecodeCp932(event.memo1);
  for (const std::string& number : DigitStrings(memo)) {
    for (const std::optional<EraYear>& year : {event.first, event.second}) {
      if (year && number == std::to_string(year->year)) return hint;
    }
  }
  return hint + "\nメモ1: " + memo;
}

std::string YearQuestion::Prompt(const Question& question) const {
  if (question.events.empty()) return {};
  return Unmarked(EventTextField(question.events.front().line));
}

std::string YearQuestion::Hint(const Question& question) const {
  if (question.events.empty()) return {};
  return EventHint(question.events.front().line);
}

std::optional<Graded> YearQuestion::Judge(const Question& question, const KindAnswer& answer,
                                          bool hintShown) const {
  const auto* typed = std::get_if<TypedAnswer>(&answer);
  if (!typed || question.events.empty()) return std::nullopt;
  const std::optional<EraYear> year = ParseTypedYear(typed->text);
  if (!year) return std::nullopt;
  const Grade grade = GradeYear(ParseEvent(question.events.front().line), *year, hintShown);
  const bool right = grade != Grade::kAgain;
  return Graded{right ? AnswerVerdict::kRight : AnswerVerdict::kWrong, grade, typed->text,
                right ? std::nullopt : year};
}

}  // namespace qev
