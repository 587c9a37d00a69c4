#include "study/study_stats.h"

#include <algorithm>

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

std::vector<int> DuePerDay(const std::vector<int>& dueDays, int today, int days) {
  std::vector<int> perDay(static_cast<std::size_t>(days));
  for (const int due : dueDays) {
    const int day = std::max(due - today, 0);
    if (day < days) ++perDay[static_cast<std::size_t>(day)];
  }
  return perDay;
}

std::vector<CalibrationBin> Calibration(std::span<const RecallPrediction> predictions, int bins) {
  std::vector<CalibrationBin> all(static_cast<std::size_t>(bins));
  for (const RecallPrediction& p : predictions) {
    const int bin = std::clamp(static_cast<int>(p.recall * bins), 0, bins - 1);
    CalibrationBin& b = all[static_cast<std::size_t>(bin)];
    b.predicted += p.recall;
    b.actual += p.recalled ? 1 : 0;
    ++b.reviews;
  }
  std::vector<CalibrationBin> used;
  for (CalibrationBin& b : all) {
    if (b.reviews == 0) continue;
    b.predicted /= b.reviews;
    b.actual /= b.reviews;
    used.push_back(b);
  }
  return used;
}

}  // namespace qev
