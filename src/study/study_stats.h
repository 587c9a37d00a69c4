#pragma once

#include <array>
#include <span>
#include <string_view>
#include <vector>

#include "study/fsrs_fit.h"
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

// The cards falling due on each of the `days` days from `today` on, those
// overdue counted today.
std::vector<int> DuePerDay(const std::vector<int>& dueDays, int today, int days = 30);

// Predicted recall against the share actually recalled: the predictions in
// `bins` equal bins of predicted recall, those of no prediction left out.
struct CalibrationBin {
  double predicted = 0;  // mean predicted recall
  double actual = 0;     // share recalled
  int reviews = 0;
};
std::vector<CalibrationBin> Calibration(std::span<const RecallPrediction> predictions,
                                        int bins = 10);

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
  std::vector<int> duePerDay;  // the next 30 days, today first
  std::vector<CalibrationBin> calibration;
  MemoryMetrics metrics;  // of the parameters in use on these cards' answers
};

}  // namespace qev
