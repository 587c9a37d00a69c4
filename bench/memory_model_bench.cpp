// The memory model's own costs, without Qt: replaying a study log into card
// states and fitting the parameters to it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "study/fsrs.h"
#include "study/fsrs_fit.h"
#include "study/simulated_learner.h"

namespace qev {
namespace {

// A log of `answers` answers over cards of 2 to 20 answers each, a day to a
// few months apart, every grade.
MemoryLog AnswerLog(std::size_t answers) {
  std::mt19937_64 random(7);
  std::uniform_int_distribution<int> length(2, 20);
  std::uniform_int_distribution<int> gap(0, 90);
  std::discrete_distribution<int> grade({0, 15, 10, 65, 10});
  MemoryLog log;
  std::vector<MemoryReview> card;
  std::size_t added = 0;
  while (added < answers) {
    card.clear();
    int day = 20000;
    const std::size_t n = std::min<std::size_t>(length(random), answers - added);
    for (std::size_t i = 0; i < n; ++i) {
      card.push_back({day, grade(random)});
      day += gap(random);
    }
    log.AddCard(card);
    added += n;
  }
  return log;
}

void BM_ReplayAnswers(benchmark::State& state) {
  const MemoryLog log = AnswerLog(static_cast<std::size_t>(state.range(0)));
  std::vector<CardMemory> cards(log.cards());
  for (auto _ : state) {
    for (std::size_t c = 0; c < log.cards(); ++c) {
      cards[c] = *ReplayCard(log.Card(c), kDefaultMemoryParameters);
    }
    benchmark::DoNotOptimize(cards.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReplayAnswers)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_FitReviews(benchmark::State& state) {
  const MemoryLog log =
      SimulateLearner(kSimulatedLearner, static_cast<std::size_t>(state.range(0)), 5);
  for (auto _ : state) {
    const FitResult fit = FitMemoryParameters(log);
    benchmark::DoNotOptimize(fit.parameters);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FitReviews)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_EvaluateReviews(benchmark::State& state) {
  const MemoryLog log =
      SimulateLearner(kSimulatedLearner, static_cast<std::size_t>(state.range(0)), 5);
  for (auto _ : state) benchmark::DoNotOptimize(EvaluateMemory(log, kDefaultMemoryParameters));
}
BENCHMARK(BM_EvaluateReviews)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qev

BENCHMARK_MAIN();
