#include "study/answer_check.h"

#include <cstdlib>

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

}  // namespace qev
