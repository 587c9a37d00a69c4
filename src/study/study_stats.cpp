#include "study/study_stats.h"

#include "events/event_line.h"
#include "study/study_time.h"
#include "text/byte_fields.h"

namespace qev {

DueCounts CountDue(const std::vector<int>& dueDays, int today) {
  DueCounts counts;
  for (const int due : dueDays) {
    if (due <= today) {
      ++counts.today;
    } else if (due <= today + 7) {
      ++counts.nextWeek;
    }
  }
  return counts;
}

std::vector<DayAnswers> AnswersPerDay(std::span<const Review> reviews, int today, int days) {
  std::vector<DayAnswers> perDay(static_cast<std::size_t>(days));
  const int first = today - days + 1;
  for (int i = 0; i < days; ++i) perDay[static_cast<std::size_t>(i)].day = first + i;
  for (const Review& review : reviews) {
    const int answered = DayOfMoment(review.moment);
    if (answered < first || answered > today) continue;
    DayAnswers& day = perDay[static_cast<std::size_t>(answered - first)];
    ++(review.right ? day.right : day.wrong);
  }
  return perDay;
}

}  // namespace qev
