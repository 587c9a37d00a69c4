#include "study/fsrs.h"

#include <algorithm>
#include <cmath>

#include "study/study_time.h"

namespace qev {
namespace {

double InitialDifficulty(int grade, const MemoryParameters& w) {
  return w[4] - std::exp(w[5] * (grade - 1)) + 1.0;
}

double ClampStability(double s) {
  return std::clamp(s, kMinStability, kMaxStability);
}

}  // namespace

MemoryParameters ClampedParameters(const MemoryParameters& w) {
  MemoryParameters out;
  for (int i = 0; i < kMemoryParameterCount; ++i) {
    out[i] = std::clamp(w[i], kMemoryParameterRanges[i].low, kMemoryParameterRanges[i].high);
  }
  return out;
}

double Retrievability(double elapsedDays, double stability, const MemoryParameters& w) {
  const double decay = w[20];
  const double factor = std::pow(0.9, -1.0 / decay) - 1.0;
  return std::pow(1.0 + factor * std::max(elapsedDays, 0.0) / stability, -decay);
}

MemoryState FirstMemoryState(int grade, const MemoryParameters& w) {
  return {ClampStability(w[grade - 1]),
          std::clamp(InitialDifficulty(grade, w), kMinDifficulty, kMaxDifficulty)};
}

MemoryState NextMemoryState(const MemoryState& state, int elapsedDays, int grade,
                            const MemoryParameters& w) {
  const double s = state.stability;
  const double d = state.difficulty;
  double next = 0;
  if (elapsedDays <= 0) {
    // A same-day answer: a good or easy one never lowers the stability.
    const double growth = std::exp(w[17] * (grade - 3 + w[18])) * std::pow(s, -w[19]);
    next = s * (grade >= 2 ? std::max(growth, 1.0) : growth);
  } else {
    const double r = Retrievability(elapsedDays, s, w);
    if (grade == 1) {
      const double forgotten = w[11] * std::pow(d, -w[12]) * (std::pow(s + 1.0, w[13]) - 1.0) *
                               std::exp((1.0 - r) * w[14]);
      next = std::min(forgotten, s / std::exp(w[17] * w[18]));
    } else {
      const double hardPenalty = grade == 2 ? w[15] : 1.0;
      const double easyBonus = grade == 4 ? w[16] : 1.0;
      next = s * (1.0 + std::exp(w[8]) * (11.0 - d) * std::pow(s, -w[9]) *
                            (std::exp((1.0 - r) * w[10]) - 1.0) * hardPenalty * easyBonus);
    }
  }
  // Linear damping towards 10, then mean reversion towards D0(easy).
  const double damped = d + (10.0 - d) / 9.0 * (-w[6] * (grade - 3));
  const double reverted = w[7] * InitialDifficulty(4, w) + (1.0 - w[7]) * damped;
  return {ClampStability(next), std::clamp(reverted, kMinDifficulty, kMaxDifficulty)};
}

double IntervalForRetention(double stability, double desiredRetention, const MemoryParameters& w) {
  const double decay = w[20];
  const double factor = std::pow(0.9, -1.0 / decay) - 1.0;
  const double retention = std::clamp(desiredRetention, 0.0001, 0.9999);
  return std::clamp(stability / factor * (std::pow(retention, -1.0 / decay) - 1.0), 0.0,
                    kMaxStability);
}

MemoryReview MemoryReviewAt(const LocalTime& time, int grade) {
  return {DayNumber(time), grade};
}

std::optional<CardMemory> ReplayCard(std::span<const MemoryReview> reviews,
                                     const MemoryParameters& w) {
  std::optional<CardMemory> card;
  for (const MemoryReview& review : reviews) {
    if (!IsGrade(review.grade)) continue;
    if (!card) {
      card = CardMemory{FirstMemoryState(review.grade, w), review.day};
      continue;
    }
    card->state = NextMemoryState(card->state, review.day - card->lastDay, review.grade, w);
    card->lastDay = std::max(card->lastDay, review.day);
  }
  return card;
}

}  // namespace qev
