#include "study/simulated_learner.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace qev {

MemoryLog SimulateLearner(const MemoryParameters& w, std::size_t predicted, std::uint64_t seed) {
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  auto recalledGrade = [&] {
    const double u = uniform(random);
    return u < 0.15 ? 2 : u < 0.85 ? 3 : 4;
  };
  MemoryLog log;
  std::size_t count = 0;
  while (count < predicted) {
    std::vector<MemoryReview> card;
    int day = static_cast<int>(uniform(random) * 60);
    int grade = uniform(random) < 0.25 ? 1 : recalledGrade();
    MemoryState state = FirstMemoryState(grade, w);
    const int firstInterval = std::max(1, static_cast<int>(std::lround(w[grade - 1])));
    card.push_back({day, grade});
    const std::size_t length = 2 + static_cast<std::size_t>(uniform(random) * 10);
    while (card.size() < length) {
      int elapsed = 0;
      if (grade != 1 || uniform(random) >= 0.5) {
        if (card.back().day == card.front().day) {
          elapsed = firstInterval;
        } else {
          const double interval = IntervalForRetention(state.stability, 0.9, w);
          elapsed = std::max(
              1, static_cast<int>(std::lround(interval * std::exp(2.2 * uniform(random) - 1.1))));
        }
        count += 1;
      }
      const double r = elapsed == 0 ? 1.0 : Retrievability(elapsed, state.stability, w);
      grade = elapsed == 0 || uniform(random) < r ? recalledGrade() : 1;
      state = NextMemoryState(state, elapsed, grade, w);
      day += elapsed;
      card.push_back({day, grade});
    }
    log.AddCard(card);
  }
  return log;
}

}  // namespace qev
