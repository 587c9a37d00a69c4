#include "study/study_stats.h"

#include <algorithm>

namespace qev {

DueCounts CountDue(const std::vector<ScheduleItem>& items, int today) {
  DueCounts counts;
  for (const ScheduleItem& item : items) {
    const int due = DueDay(item, today);
    if (due <= today) {
      ++counts.today;
    } else if (due <= today + 7) {
      ++counts.nextWeek;
    }
  }
  return counts;
}

std::vector<DayAnswers> AnswersPerDay(const StudyLog& log, std::span<const EventKey> events,
                                      int today, int days) {
  std::vector<EventKey> counted(events.begin(), events.end());
  std::sort(counted.begin(), counted.end());
  std::vector<DayAnswers> perDay(static_cast<std::size_t>(days));
  const int first = today - days + 1;
  for (int i = 0; i < days; ++i) perDay[static_cast<std::size_t>(i)].day = first + i;
  for (const StudyLog::Answer& answer : log.answers()) {
    if (answer.day < first || answer.day > today) continue;
    if (!std::binary_search(counted.begin(), counted.end(), answer.key)) continue;
    DayAnswers& day = perDay[static_cast<std::size_t>(answer.day - first)];
    ++(answer.right ? day.right : day.wrong);
  }
  return perDay;
}

}  // namespace qev
