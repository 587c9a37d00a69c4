#pragma once

#include <array>
#include <span>
#include <string_view>
#include <vector>

#include "study/review_history.h"
#include "text/cp932.h"

namespace qev {

// The numbers behind the pictures of "学習の記録".

struct DueCounts {
  int today = 0;     // due now
  int nextWeek = 0;  // falling due in the 7 days after today
};
// From the day each card falls due.
DueCounts CountDue(const std::vector<int>& dueDays, int today);

struct DayAnswers {
  int day = 0;  // DayNumber
  int right = 0;
  int wrong = 0;
};
// The answers among `reviews` of each of the `days` days up to and
// including `today`, oldest first.
std::vector<DayAnswers> AnswersPerDay(std::span<const Review> reviews, int today, int days = 30);

// Everything "学習の記録" shows, every figure over the same events: those
// on the line under the current filters and file switches.
struct StudyRecord {
  int events = 0;
  struct File {
    Sjis title;
    std::array<int, 5> levels{};
  };
  std::vector<File> files;
  DueCounts due;
  std::vector<DayAnswers> days;
};

}  // namespace qev
