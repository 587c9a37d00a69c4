#include "study/fsrs_fit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <numeric>
#include <optional>
#include <random>

namespace qev {
namespace {

constexpr int kN = kMemoryParameterCount;
using Gradient = std::array<double, kN>;

// A predicted probability is kept this far from 0 and 1, as the reference's
// loss does, so that one surprise cannot dominate the sum.
constexpr double kProbabilityFloor = 0.0001;

// The spread of each parameter over many learners' fits: the penalty's unit.
constexpr std::array<double, kN> kParameterSpread = {6.43, 9.66, 17.58, 27.85, 0.57, 0.28, 0.6,
                                                     0.12, 0.39, 0.18,  0.33,  0.3,  0.09, 0.16,
                                                     0.57, 0.25, 1.03,  0.31,  0.32, 0.14, 0.27};

// One answer of a card as the fit walks it: the whole days since the answer
// before and whether its outcome is predicted.
struct Step {
  std::int32_t elapsed = 0;
  std::int8_t grade = 3;
  bool predicted = false;
};

// The cards to fit, their valid answers in a row.
struct Steps {
  std::vector<Step> steps;
  std::vector<std::size_t> ends;  // per card
  std::size_t predicted = 0;
  std::span<const Step> Card(std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : ends[i - 1];
    return {steps.data() + begin, ends[i] - begin};
  }
};

// Calls `visit` with each chosen card's index: the listed ones, or all.
template <typename Visit>
void ForEachCard(const MemoryLog& log, std::span<const std::size_t> cards, Visit visit) {
  if (cards.empty()) {
    for (std::size_t c = 0; c < log.cards(); ++c) visit(c);
  } else {
    for (std::size_t c : cards) {
      if (c < log.cards()) visit(c);
    }
  }
}

Steps StepsOf(const MemoryLog& log, std::span<const std::size_t> cards, int maxSequence) {
  Steps out;
  out.steps.reserve(log.answers());
  ForEachCard(log, cards, [&](std::size_t c) {
    const std::size_t begin = out.steps.size();
    int lastDay = 0;
    std::size_t predicted = 0;
    for (const MemoryReview& review : log.Card(c)) {
      if (!IsGrade(review.grade)) continue;
      if (static_cast<int>(out.steps.size() - begin) >= maxSequence) break;
      Step step;
      step.grade = static_cast<std::int8_t>(review.grade);
      if (out.steps.size() == begin) {
        lastDay = review.day;
      } else {
        step.elapsed = std::max(review.day - lastDay, 0);
        step.predicted = step.elapsed > 0;
        lastDay = std::max(lastDay, review.day);
      }
      predicted += step.predicted;
      out.steps.push_back(step);
    }
    if (predicted == 0) {
      out.steps.resize(begin);  // nothing to learn from
      return;
    }
    out.predicted += predicted;
    out.ends.push_back(out.steps.size());
  });
  return out;
}

double Clamped(double p) {
  return std::clamp(p, kProbabilityFloor, 1.0 - kProbabilityFloor);
}

double LogLoss(double p, bool recalled) {
  const double q = Clamped(p);
  return recalled ? -std::log(q) : -std::log(1.0 - q);
}

// The log loss of one card's predicted outcomes under `w`, and when `grad`
// is given its gradient added there. The gradient is carried forward along
// the card's answers (forward mode): d(S)/dw and d(D)/dw after each answer.
double CardLoss(std::span<const Step> steps, const MemoryParameters& w, Gradient* grad) {
  const bool withGradient = grad != nullptr;
  Gradient dS{};
  Gradient dD{};
  const int g0 = steps[0].grade;
  double s = std::clamp(w[g0 - 1], kMinStability, kMaxStability);
  const double e0 = std::exp(w[5] * (g0 - 1));
  double d = w[4] - e0 + 1.0;
  if (withGradient) {
    dS[g0 - 1] = 1.0;
    if (d > kMinDifficulty && d < kMaxDifficulty) {
      dD[4] = 1.0;
      dD[5] = -(g0 - 1) * e0;
    }
  }
  d = std::clamp(d, kMinDifficulty, kMaxDifficulty);

  const double decay = w[20];
  const double factor = std::pow(0.9, -1.0 / decay) - 1.0;
  const double dFactor = (factor + 1.0) * std::log(0.9) / (decay * decay);
  const double e3 = std::exp(3.0 * w[5]);
  const double easyDifficulty = w[4] - e3 + 1.0;
  const double expW8 = std::exp(w[8]);
  const double lapseFloor = std::exp(-w[17] * w[18]);

  double loss = 0;
  for (std::size_t i = 1; i < steps.size(); ++i) {
    const Step step = steps[i];
    const int g = step.grade;
    const double t = step.elapsed;
    double newS = 0;
    // The partial derivatives of the new stability by S, D and R, and by
    // the parameters directly (only a few are non-zero).
    double bySt = 0;
    double byD = 0;
    double byR = 0;
    std::array<std::pair<int, double>, 4> direct{};
    int directCount = 0;
    double r = 1.0;
    double rByS = 0;
    double rByDecay = 0;
    if (step.elapsed > 0) {
      const double u = 1.0 + factor * t / s;
      r = std::pow(u, -decay);
      if (withGradient) {
        rByS = r * decay * factor * t / (u * s * s);
        rByDecay = r * (-std::log(u) - decay * t * dFactor / (u * s));
      }
      if (step.predicted) {
        const bool recalled = g > 1;
        loss += LogLoss(r, recalled);
        if (withGradient && r > kProbabilityFloor && r < 1.0 - kProbabilityFloor) {
          const double byP = recalled ? -1.0 / r : 1.0 / (1.0 - r);
          for (int k = 0; k < kN; ++k) (*grad)[k] += byP * rByS * dS[k];
          (*grad)[20] += byP * rByDecay;
        }
      }
      if (g == 1) {
        const double p = std::pow(d, -w[12]);
        const double grown = std::pow(s + 1.0, w[13]);
        const double x = std::exp((1.0 - r) * w[14]);
        const double forgotten = w[11] * p * (grown - 1.0) * x;
        const double floor = s * lapseFloor;
        if (forgotten < floor) {
          newS = forgotten;
          if (withGradient) {
            bySt = w[11] * p * x * w[13] * grown / (s + 1.0);
            byD = -w[12] * forgotten / d;
            byR = -w[14] * forgotten;
            direct = {{{11, p * (grown - 1.0) * x},
                       {12, -forgotten * std::log(d)},
                       {13, w[11] * p * x * grown * std::log(s + 1.0)},
                       {14, forgotten * (1.0 - r)}}};
            directCount = 4;
          }
        } else {
          newS = floor;
          if (withGradient) {
            bySt = lapseFloor;
            direct = {{{17, -w[18] * floor}, {18, -w[17] * floor}}};
            directCount = 2;
          }
        }
      } else {
        const double hard = g == 2 ? w[15] : 1.0;
        const double easy = g == 4 ? w[16] : 1.0;
        const double e = std::exp((1.0 - r) * w[10]);
        const double base = expW8 * (11.0 - d) * std::pow(s, -w[9]);
        const double a = base * (e - 1.0) * hard * easy;
        newS = s * (1.0 + a);
        if (withGradient) {
          bySt = 1.0 + a * (1.0 - w[9]);
          byD = -s * a / (11.0 - d);
          byR = -s * base * hard * easy * w[10] * e;
          direct[0] = {8, s * a};
          direct[1] = {9, -s * a * std::log(s)};
          direct[2] = {10, s * base * hard * easy * (1.0 - r) * e};
          directCount = 3;
          if (g == 2) direct[directCount++] = {15, s * base * (e - 1.0) * easy};
          if (g == 4) direct[directCount++] = {16, s * base * (e - 1.0) * hard};
        }
      }
    } else {
      const double growth = std::exp(w[17] * (g - 3 + w[18])) * std::pow(s, -w[19]);
      if (g >= 2 && growth < 1.0) {
        newS = s;
        bySt = 1.0;
      } else {
        newS = s * growth;
        if (withGradient) {
          bySt = growth * (1.0 - w[19]);
          direct = {{{17, newS * (g - 3 + w[18])}, {18, newS * w[17]}, {19, -newS * std::log(s)}}};
          directCount = 3;
        }
      }
    }

    const double c = -w[6] * (g - 3) / 9.0;
    const double damped = d + (10.0 - d) * c;
    const double reverted = w[7] * easyDifficulty + (1.0 - w[7]) * damped;
    if (withGradient) {
      const bool sClamped = newS < kMinStability || newS > kMaxStability;
      Gradient nextS{};
      if (!sClamped) {
        const double bySTotal = bySt + byR * rByS;
        for (int k = 0; k < kN; ++k) nextS[k] = bySTotal * dS[k] + byD * dD[k];
        nextS[20] += byR * rByDecay;
        for (int j = 0; j < directCount; ++j) nextS[direct[j].first] += direct[j].second;
      }
      if (reverted > kMinDifficulty && reverted < kMaxDifficulty) {
        const double byOld = (1.0 - w[7]) * (1.0 - c);
        for (int k = 0; k < kN; ++k) dD[k] *= byOld;
        dD[4] += w[7];
        dD[5] += w[7] * -3.0 * e3;
        dD[6] += (1.0 - w[7]) * (10.0 - d) * -(g - 3) / 9.0;
        dD[7] += easyDifficulty - damped;
      } else {
        dD.fill(0.0);
      }
      dS = nextS;
    }
    s = std::clamp(newS, kMinStability, kMaxStability);
    d = std::clamp(reverted, kMinDifficulty, kMaxDifficulty);
  }
  return loss;
}

double PenaltyOf(const MemoryParameters& w, const MemoryParameters& anchor, double weight,
                 Gradient* grad) {
  double sum = 0;
  for (int k = 0; k < kN; ++k) {
    const double spread2 = kParameterSpread[k] * kParameterSpread[k];
    const double diff = w[k] - anchor[k];
    sum += diff * diff / spread2;
    if (grad) (*grad)[k] += weight * 2.0 * diff / spread2;
  }
  return weight * sum;
}

double TotalLoss(const Steps& steps, const MemoryParameters& w) {
  double loss = 0;
  for (std::size_t c = 0; c < steps.ends.size(); ++c) loss += CardLoss(steps.Card(c), w, nullptr);
  return loss;
}

// The initial stabilities from each card's first answer on a later day than
// its first: per first grade, the stability whose forgetting curve best fits
// the share recalled after each interval.
struct FirstRecalls {
  // first grade → interval → {answers, recalled}
  std::array<std::map<int, std::pair<double, double>>, 4> byGrade;
};

FirstRecalls FirstRecallsOf(const Steps& steps) {
  FirstRecalls out;
  for (std::size_t c = 0; c < steps.ends.size(); ++c) {
    const auto card = steps.Card(c);
    for (std::size_t i = 1; i < card.size(); ++i) {
      if (!card[i].predicted) continue;
      auto& cell = out.byGrade[card[0].grade - 1][card[i].elapsed];
      cell.first += 1;
      cell.second += card[i].grade > 1;
      break;
    }
  }
  return out;
}

constexpr double kMinInitialStability = 0.1;
constexpr double kMaxInitialStability = 100.0;

double FitFirstStability(const std::map<int, std::pair<double, double>>& cells,
                         double averageRecall, double fallback, double decay) {
  double n = 0;
  for (const auto& [t, cell] : cells) n += cell.first;
  const double factor = std::pow(0.9, -1.0 / decay) - 1.0;
  auto loss = [&](double s) {
    double sum = 0;
    for (const auto& [t, cell] : cells) {
      // Laplace smoothing towards the learner's average recall.
      const double recall = (cell.second / cell.first * n + averageRecall) / (n + 1.0);
      const double r = Clamped(std::pow(1.0 + factor * t / s, -decay));
      sum -= (recall * std::log(r) + (1.0 - recall) * std::log(1.0 - r)) * std::sqrt(cell.first);
    }
    return sum + std::abs(s - fallback) / 16.0;
  };
  double low = kMinInitialStability;
  double high = kMaxInitialStability;
  for (int i = 0; i < 200 && high - low > 1e-6; ++i) {
    const double m1 = low + (high - low) / 3.0;
    const double m2 = high - (high - low) / 3.0;
    if (loss(m1) < loss(m2)) {
      high = m2;
    } else {
      low = m1;
    }
  }
  return (low + high) / 2.0;
}

// Makes the four initial stabilities rise with the grade (the one with more
// answers behind it wins) and fills those without answers from the others,
// in log space: l2 = 0.6·l1 + 0.4·l3 and l3 = 0.4·l2 + 0.6·l4.
std::array<double, 4> SmoothAndFill(std::array<std::optional<double>, 4> s,
                                    const std::array<double, 4>& counts,
                                    const MemoryParameters& fallback) {
  constexpr std::array<std::pair<int, int>, 6> kPairs = {
      {{0, 1}, {1, 2}, {2, 3}, {0, 2}, {1, 3}, {0, 3}}};
  for (auto [small, big] : kPairs) {
    if (s[small] && s[big] && *s[small] > *s[big]) {
      if (counts[small] > counts[big]) {
        s[big] = s[small];
      } else {
        s[small] = s[big];
      }
    }
  }
  const int known = static_cast<int>(std::count_if(s.begin(), s.end(), [](auto v) { return v; }));
  std::array<double, 4> out{};
  if (known == 0) {
    for (int g = 0; g < 4; ++g) out[g] = fallback[g];
  } else if (known == 1) {
    const int g =
        static_cast<int>(std::find_if(s.begin(), s.end(), [](auto v) { return v; }) - s.begin());
    const double scale = *s[g] / fallback[g];
    for (int k = 0; k < 4; ++k) out[k] = fallback[k] * scale;
    std::sort(out.begin(), out.end());
  } else {
    // Two equations in the logs: a·l = b for the rows below.
    std::array<double, 4> l{};
    for (int g = 0; g < 4; ++g) l[g] = s[g] ? std::log(*s[g]) : 0.0;
    constexpr std::array<std::array<double, 4>, 2> kRows = {
        {{0.6, -1.0, 0.4, 0.0}, {0.0, 0.4, -1.0, 0.6}}};
    std::vector<int> missing;
    for (int g = 0; g < 4; ++g) {
      if (!s[g]) missing.push_back(g);
    }
    auto rest = [&](int row) {
      double sum = 0;
      for (int g = 0; g < 4; ++g) {
        if (s[g]) sum -= kRows[row][g] * l[g];
      }
      return sum;
    };
    if (missing.size() == 1) {
      const int g = missing[0];
      const int row = g <= 1 ? 0 : 1;
      l[g] = rest(row) / kRows[row][g];
    } else if (missing.size() == 2) {
      const int a = missing[0];
      const int b = missing[1];
      const double a00 = kRows[0][a], a01 = kRows[0][b], a10 = kRows[1][a], a11 = kRows[1][b];
      const double r0 = rest(0), r1 = rest(1);
      const double det = a00 * a11 - a01 * a10;
      l[a] = (r0 * a11 - a01 * r1) / det;
      l[b] = (a00 * r1 - a10 * r0) / det;
    }
    for (int g = 0; g < 4; ++g) out[g] = std::exp(l[g]);
  }
  for (double& v : out) v = std::clamp(v, kMinInitialStability, kMaxInitialStability);
  return out;
}

struct Pretrained {
  std::array<double, 4> stability{};
  std::array<double, 4> counts{};
};

Pretrained Pretrain(const Steps& steps, const MemoryParameters& start) {
  double recalled = 0;
  for (const Step& step : steps.steps) recalled += step.predicted && step.grade > 1;
  const double averageRecall = steps.predicted ? recalled / steps.predicted : 0.0;
  const FirstRecalls firsts = FirstRecallsOf(steps);
  std::array<std::optional<double>, 4> fitted;
  Pretrained out;
  for (int g = 0; g < 4; ++g) {
    const auto& cells = firsts.byGrade[g];
    for (const auto& [t, cell] : cells) out.counts[g] += cell.first;
    if (!cells.empty()) fitted[g] = FitFirstStability(cells, averageRecall, start[g], start[20]);
  }
  out.stability = SmoothAndFill(fitted, out.counts, start);
  return out;
}

// RMSE(bins)'s bins: the interval (powers of 3.62), the answers on later
// days so far, this one included, plus one (powers of 1.89), and the lapses
// among those before this one (0 for none, then powers of 1.73).
constexpr int kIntervalBins = 12;
constexpr int kCountBins = 16;
constexpr int kLapseBins = 17;

int LogBin(double value, double base, int limit) {
  const int bin = static_cast<int>(std::floor(std::log(value) / std::log(base)));
  return std::clamp(bin, 0, limit - 1);
}

}  // namespace

void MemoryLog::AddCard(std::span<const MemoryReview> reviews) {
  reviews_.insert(reviews_.end(), reviews.begin(), reviews.end());
  ends_.push_back(reviews_.size());
}

std::span<const MemoryReview> MemoryLog::Card(std::size_t i) const {
  const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
  return {reviews_.data() + begin, ends_[i] - begin};
}

std::size_t PredictedReviews(const MemoryLog& log) {
  return StepsOf(log, {}, std::numeric_limits<int>::max()).predicted;
}

std::vector<RecallPrediction> PredictRecalls(const MemoryLog& log, const MemoryParameters& w,
                                             std::span<const std::size_t> cards) {
  std::vector<RecallPrediction> out;
  out.reserve(log.answers());
  ForEachCard(log, cards, [&](std::size_t c) {
    std::optional<CardMemory> card;
    int longTerm = 0;
    int lapses = 0;
    for (const MemoryReview& review : log.Card(c)) {
      if (!IsGrade(review.grade)) continue;
      if (!card) {
        card = CardMemory{FirstMemoryState(review.grade, w), review.day};
        continue;
      }
      const int elapsed = review.day - card->lastDay;
      if (elapsed > 0) {
        ++longTerm;
        const int lapseBin = lapses == 0 ? 0 : 1 + LogBin(lapses, 1.73, kLapseBins - 1);
        const int bin = (LogBin(elapsed, 3.62, kIntervalBins) * kCountBins +
                         LogBin(longTerm + 1, 1.89, kCountBins)) *
                            kLapseBins +
                        lapseBin;
        out.push_back(
            {Clamped(Retrievability(elapsed, card->state.stability, w)), review.grade > 1, bin});
        lapses += review.grade == 1;
      }
      card->state = NextMemoryState(card->state, elapsed, review.grade, w);
      card->lastDay = std::max(card->lastDay, review.day);
    }
  });
  return out;
}

MemoryMetrics MetricsOf(std::span<const RecallPrediction> predictions) {
  struct Cell {
    double n = 0, p = 0, y = 0;
  };
  std::vector<Cell> cells(kLapseBins * kIntervalBins * kCountBins);
  MemoryMetrics out;
  out.reviews = predictions.size();
  if (predictions.empty()) return out;
  double loss = 0;
  for (const RecallPrediction& prediction : predictions) {
    loss += LogLoss(prediction.recall, prediction.recalled);
    Cell& cell = cells[prediction.bin];
    cell.n += 1;
    cell.p += prediction.recall;
    cell.y += prediction.recalled;
  }
  double squared = 0;
  for (const Cell& cell : cells) {
    if (cell.n == 0) continue;
    const double gap = (cell.p - cell.y) / cell.n;
    squared += cell.n * gap * gap;
  }
  out.logLoss = loss / out.reviews;
  out.rmseBins = std::sqrt(squared / out.reviews);
  return out;
}

MemoryMetrics EvaluateMemory(const MemoryLog& log, const MemoryParameters& w,
                             std::span<const std::size_t> cards) {
  return MetricsOf(PredictRecalls(log, w, cards));
}

FitResult FitMemoryParameters(const MemoryLog& log, std::span<const std::size_t> cards,
                              const MemoryParameters& start, const FitOptions& options,
                              const FitProgress& progress) {
  FitResult result;
  result.parameters = start;
  const Steps steps = StepsOf(log, cards, options.maxSequence);
  result.reviews = steps.predicted;
  if (steps.predicted == 0) return result;

  const Pretrained pre = Pretrain(steps, start);
  MemoryParameters w = start;
  for (int g = 0; g < 4; ++g) w[g] = pre.stability[g];
  w = ClampedParameters(w);
  const MemoryParameters anchor = w;

  // Batches of whole cards, each about batchSize predicted outcomes.
  std::vector<std::size_t> order(steps.ends.size());
  std::iota(order.begin(), order.end(), 0);
  std::vector<std::size_t> predictedOf(steps.ends.size());
  for (std::size_t c = 0; c < steps.ends.size(); ++c) {
    for (const Step& step : steps.Card(c)) predictedOf[c] += step.predicted;
  }
  const std::size_t batchesPerEpoch =
      std::max<std::size_t>(1, (steps.predicted + options.batchSize - 1) / options.batchSize);
  const std::size_t total = batchesPerEpoch * static_cast<std::size_t>(options.epochs);

  Gradient m{};
  Gradient v{};
  constexpr double kBeta1 = 0.9;
  constexpr double kBeta2 = 0.999;
  constexpr double kEpsilon = 1e-8;
  std::mt19937_64 random(options.seed);
  std::size_t done = 0;
  double bestLoss = std::numeric_limits<double>::infinity();
  MemoryParameters best = w;
  for (int epoch = 0; epoch < options.epochs; ++epoch) {
    std::shuffle(order.begin(), order.end(), random);
    std::size_t next = 0;
    while (next < order.size()) {
      Gradient grad{};
      std::size_t batch = 0;
      while (next < order.size() && batch < options.batchSize) {
        const std::size_t c = order[next++];
        CardLoss(steps.Card(c), w, &grad);
        batch += predictedOf[c];
      }
      PenaltyOf(w, anchor, options.penalty * batch / steps.predicted, &grad);
      // Adam with bias correction, the rate annealed along a cosine.
      const double rate = options.learningRate * 0.5 *
                          (1.0 + std::cos(std::numbers::pi * done / static_cast<double>(total)));
      ++done;
      const double c1 = 1.0 - std::pow(kBeta1, static_cast<double>(done));
      const double c2 = 1.0 - std::pow(kBeta2, static_cast<double>(done));
      for (int k = 0; k < kN; ++k) {
        if (!std::isfinite(grad[k])) continue;
        m[k] = kBeta1 * m[k] + (1.0 - kBeta1) * grad[k];
        v[k] = kBeta2 * v[k] + (1.0 - kBeta2) * grad[k] * grad[k];
        w[k] -= rate * (m[k] / c1) / (std::sqrt(v[k] / c2) + kEpsilon);
      }
      w = ClampedParameters(w);
      if (progress && !progress(done, total)) {
        result.cancelled = true;
        return result;
      }
    }
    const double epochLoss = TotalLoss(steps, w) + PenaltyOf(w, anchor, options.penalty, nullptr);
    if (epochLoss < bestLoss) {
      bestLoss = epochLoss;
      best = w;
    }
  }
  // The fitted initial stabilities made to rise with the grade again.
  std::array<std::optional<double>, 4> fitted;
  for (int g = 0; g < 4; ++g) fitted[g] = best[g];
  const auto smoothed = SmoothAndFill(fitted, pre.counts, start);
  for (int g = 0; g < 4; ++g) best[g] = smoothed[g];
  result.parameters = best;
  return result;
}

MemoryOptimization OptimizeMemory(const MemoryLog& log, const MemoryParameters& current,
                                  const FitProgress& progress) {
  MemoryOptimization out;
  out.parameters = current;
  out.reviews = PredictedReviews(log);
  if (out.reviews < kMinReviewsToFit) {
    out.outcome = MemoryOptimization::Outcome::kTooFewReviews;
    out.reviewsNeeded = kMinReviewsToFit - out.reviews;
    return out;
  }
  std::vector<std::size_t> test;
  std::vector<std::size_t> train;
  for (std::size_t c = 0; c < log.cards(); ++c) (c % 5 == 4 ? test : train).push_back(c);
  const FitResult fit = FitMemoryParameters(log, train, kDefaultMemoryParameters, {}, progress);
  if (fit.cancelled) {
    out.outcome = MemoryOptimization::Outcome::kCancelled;
    return out;
  }
  out.before = EvaluateMemory(log, current, test);
  out.after = EvaluateMemory(log, fit.parameters, test);
  if (out.after.logLoss < out.before.logLoss) {
    out.outcome = MemoryOptimization::Outcome::kFitted;
    out.parameters = fit.parameters;
  } else {
    out.outcome = MemoryOptimization::Outcome::kNoImprovement;
  }
  return out;
}

}  // namespace qev
