#include "study/study_stats.h"

#include "events/event_line.h"
#include "text/byte_fields.h"

namespace qev {

std::array<int, 5> LevelCounts(const std::vector<Sjis>& lines) {
  std::array<int, 5> counts{};
  for (const Sjis& line : lines) {
    const int level = DigitAt(line, kMemorisationPos);
    ++counts[level >= 1 && level <= 5 ? level - 1 : 0];
  }
  return counts;
}

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

std::vector<DayAnswers> AnswersPerDay(const StudyLog& log, int today, int days) {
  std::vector<DayAnswers> perDay(static_cast<std::size_t>(days));
  const int first = today - days + 1;
  for (int i = 0; i < days; ++i) perDay[static_cast<std::size_t>(i)].day = first + i;
  for (const StudyLog::Answer& answer : log.answers()) {
    if (answer.day < first || answer.day > today) continue;
    DayAnswers& day = perDay[static_cast<std::size_t>(answer.day - first)];
    ++(answer.right ? day.right : day.wrong);
  }
  return perDay;
}

}  // namespace qev
