#include "study/year_grade.h"

#include <cstdlib>

namespace qev {

int YearsApart(const EraYear& a, const EraYear& b) {
  const int apart = std::abs(a.Signed() - b.Signed());
  return a.bc != b.bc ? apart - 1 : apart;
}

int YearTolerance(const EventFields& event) {
  if (event.firstApproximate || !event.first || event.first->Signed() < 500) return 10;
  return event.first->Signed() < 1500 ? 5 : 1;
}

std::optional<int> YearsOff(const EventFields& event, const EraYear& answered) {
  if (!event.first) return std::nullopt;
  const EraYear& first = *event.first;
  if (event.second && event.second->Signed() > first.Signed()) {
    const EraYear& last = *event.second;
    if (answered.Signed() >= first.Signed() && answered.Signed() <= last.Signed()) return 0;
    if (answered.Signed() > last.Signed()) return YearsApart(answered, last);
  }
  return YearsApart(answered, first);
}

Grade GradeYear(const EventFields& event, const EraYear& answered, bool hintShown, int extraYears) {
  const std::optional<int> off = YearsOff(event, answered);
  if (!off) return Grade::kAgain;
  if (*off == 0) return hintShown ? Grade::kHard : Grade::kGood;
  return *off <= YearTolerance(event) + extraYears ? Grade::kHard : Grade::kAgain;
}

}  // namespace qev
