#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "study/fsrs.h"

namespace qev {

// Fitting the memory model to a learner's own answers, as the reference
// optimizer does: minimise the log loss of the predicted recall against the
// outcomes (a grade over 1 is recalled) with a penalty that keeps each
// parameter near where it started, in mini-batches over a few epochs (Adam,
// cosine-annealed learning rate), each parameter clamped to its range after
// every step; the initial stabilities are first pretrained from each card's
// first answer on a later day.
//
// The outcomes predicted are the answers after a card's first, given on a
// later day than the answer before: same-day answers move the memory (the
// short-term update) but are not predicted, as the reference does.

// The answers of many cards in one array, each card's in time order.
class MemoryLog {
 public:
  void AddCard(std::span<const MemoryReview> reviews);
  std::size_t cards() const { return ends_.size(); }
  std::span<const MemoryReview> Card(std::size_t i) const;
  std::size_t answers() const { return reviews_.size(); }

 private:
  std::vector<MemoryReview> reviews_;
  std::vector<std::size_t> ends_;
};

// The outcomes of a log the model predicts (see above).
std::size_t PredictedReviews(const MemoryLog& log);

// The recall predicted for each predicted outcome of the chosen cards (all
// when `cards`, their indices in the log, is empty), card by card in time
// order, with the bin RMSE(bins) puts it in: answers after the same interval,
// with the same number of answers on a later day than the one before and
// the same number of lapses among them, each counted on a logarithmic scale
// (as the reference optimizer draws its bins).
struct RecallPrediction {
  double recall = 0;  // kept 0.0001 from 0 and 1, as the reference's loss does
  bool recalled = false;
  int bin = 0;
};
std::vector<RecallPrediction> PredictRecalls(const MemoryLog& log, const MemoryParameters& w,
                                             std::span<const std::size_t> cards = {});

// How well predictions fit the outcomes: the mean log loss (binary
// cross-entropy) and RMSE(bins), the root of the mean squared gap between
// the predicted and the actual share recalled in each bin, each bin weighted
// by its size.
struct MemoryMetrics {
  double logLoss = 0;
  double rmseBins = 0;
  std::size_t reviews = 0;
};
MemoryMetrics MetricsOf(std::span<const RecallPrediction> predictions);
MemoryMetrics EvaluateMemory(const MemoryLog& log, const MemoryParameters& w,
                             std::span<const std::size_t> cards = {});

struct FitOptions {
  int epochs = 5;
  std::size_t batchSize = 512;  // predicted outcomes per step
  double learningRate = 0.04;
  double penalty = 1.0;       // the weight of the pull towards the starting parameters
  int maxSequence = 64;       // a card's answers past this many are not predicted
  std::uint64_t seed = 2023;  // of the order of the cards in each epoch
};

// Called after each step with the steps done and the steps in all; false
// stops the fit. The fit touches nothing but its arguments, so that a window
// can run it on a thread of its own and stop it from there.
using FitProgress = std::function<bool(std::size_t done, std::size_t total)>;

struct FitResult {
  MemoryParameters parameters = kDefaultMemoryParameters;
  bool cancelled = false;   // stopped through the progress callback: parameters as started
  std::size_t reviews = 0;  // the outcomes fitted
};
// Fits the chosen cards (all when empty) starting from `start`, towards
// which the penalty pulls, its initial stabilities pretrained first.
FitResult FitMemoryParameters(const MemoryLog& log, std::span<const std::size_t> cards = {},
                              const MemoryParameters& start = kDefaultMemoryParameters,
                              const FitOptions& options = {}, const FitProgress& progress = {});

// What the menu's fit does: every fifth card held out, the rest fitted, both
// parameter sets judged on the held-out cards; the fitted ones kept when
// they predict those better.
inline constexpr std::size_t kMinReviewsToFit = 400;

struct MemoryOptimization {
  enum class Outcome {
    kFitted,         // the fitted parameters predict the held-out cards better
    kNoImprovement,  // they do not: the parameters in use stay
    kTooFewReviews,  // reviewsNeeded more answers on later days are needed
    kCancelled,
  };
  Outcome outcome = Outcome::kTooFewReviews;
  MemoryParameters parameters = kDefaultMemoryParameters;  // the ones to use from now on
  MemoryMetrics before;     // the parameters in use, on the held-out cards
  MemoryMetrics after;      // the fitted ones, on the same cards
  std::size_t reviews = 0;  // outcomes in the whole log
  std::size_t reviewsNeeded = 0;
};
MemoryOptimization OptimizeMemory(const MemoryLog& log,
                                  const MemoryParameters& current = kDefaultMemoryParameters,
                                  const FitProgress& progress = {});

}  // namespace qev
