#pragma once

#include <array>
#include <optional>
#include <span>

#include "platform/platform.h"

namespace qev {

// The memory model: FSRS-6. A card's memory is its stability S (the days
// until its predicted recall falls to 90%) and its difficulty D (1..10); both
// follow from replaying its answers, graded 1 again, 2 hard, 3 good, 4 easy.
// Its 21 parameters w0..w20 are the model's; a learner's own come from the
// fit (study/fsrs_fit.h).

inline constexpr int kMemoryParameterCount = 21;
using MemoryParameters = std::array<double, kMemoryParameterCount>;

// The published defaults of FSRS-6: the medians of the parameters fitted to
// about 10,000 learners' logs.
inline constexpr MemoryParameters kDefaultMemoryParameters = {
    0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001,  1.8722, 0.1666, 0.796,
    1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};

inline constexpr double kMinStability = 0.001;
inline constexpr double kMaxStability = 36500.0;
inline constexpr double kMinDifficulty = 1.0;
inline constexpr double kMaxDifficulty = 10.0;

// The range each parameter is kept in, as the reference optimizer clamps
// them after every step of a fit (no relearning steps, short-term memory on).
struct ParameterRange {
  double low;
  double high;
};
inline constexpr std::array<ParameterRange, kMemoryParameterCount> kMemoryParameterRanges = {{
    {kMinStability, 100.0},
    {kMinStability, 100.0},
    {kMinStability, 100.0},
    {kMinStability, 100.0},
    {kMinDifficulty, kMaxDifficulty},
    {0.001, 4.0},
    {0.001, 4.0},
    {0.001, 0.75},
    {0.0, 4.5},
    {0.0, 0.8},
    {0.001, 3.5},
    {0.001, 5.0},
    {0.001, 0.25},
    {0.001, 0.9},
    {0.0, 4.0},
    {0.0, 1.0},
    {1.0, 6.0},
    {0.0, 2.0},
    {0.0, 2.0},
    {0.01, 0.8},
    {0.1, 0.8},
}};

// Each parameter brought into its range.
MemoryParameters ClampedParameters(const MemoryParameters& w);

struct MemoryState {
  double stability = 0;
  double difficulty = 0;
};

// The predicted recall after `elapsedDays` at stability `stability`:
// (1 + f·t/S)^(−w20) with f = 0.9^(−1/w20) − 1, so that R(S, S) = 0.9.
double Retrievability(double elapsedDays, double stability, const MemoryParameters& w);

// The memory after a card's first answer: S0 = w[G−1], D0 = w4 − e^(w5·(G−1)) + 1.
MemoryState FirstMemoryState(int grade, const MemoryParameters& w);

// The memory after an answer `elapsedDays` whole days after the previous
// one: a recall (grade 2..4) or a lapse (1) when a day or more has passed,
// the same-day (short-term) update otherwise.
MemoryState NextMemoryState(const MemoryState& state, int elapsedDays, int grade,
                            const MemoryParameters& w);

// The days after which the predicted recall falls to `desiredRetention`
// (fractional, 0..kMaxStability).
double IntervalForRetention(double stability, double desiredRetention, const MemoryParameters& w);

// One answer as the model sees it: the local calendar day it was given on
// (a DayNumber) and its grade. Elapsed time is counted in whole days between
// the local dates (a new day starts at midnight), as the reference optimizer
// counts the days of a log given in local time with the next day starting at
// hour 0.
struct MemoryReview {
  int day = 0;
  int grade = 3;
};
MemoryReview MemoryReviewAt(const LocalTime& time, int grade);

// Whether a grade is one of the four the model knows.
constexpr bool IsGrade(int grade) {
  return grade >= 1 && grade <= 4;
}

struct CardMemory {
  MemoryState state;
  int lastDay = 0;  // the day of the last answer
};

// A card's memory after its answers, in the order given (time order). An
// answer whose grade is not 1..4 is passed over; one dated before the
// previous (a clock set back) counts as given the same day. Nothing for a
// card with no answer.
std::optional<CardMemory> ReplayCard(std::span<const MemoryReview> reviews,
                                     const MemoryParameters& w);

}  // namespace qev
