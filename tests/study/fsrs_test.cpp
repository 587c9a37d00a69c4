#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "study/fsrs.h"
#include "study/fsrs_fit.h"
#include "study/memory_parameters.h"
#include "study/simulated_learner.h"

namespace qev {
namespace {

const std::filesystem::path kReference =
    std::filesystem::path(QEV_SOURCE_DIR) / "tests/study/fsrs_reference";

constexpr const MemoryParameters& kLearner = kSimulatedLearner;

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// The rows of a CSV file with a header line, split at commas.
std::vector<std::vector<std::string>> CsvRows(const std::filesystem::path& path) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(ReadText(path));
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    std::string cell;
    while (std::getline(cells, cell, ',')) fields.push_back(cell);
    rows.push_back(fields);
  }
  return rows;
}

// The number after `"key":` in a JSON text, searched from `from`.
double JsonNumber(const std::string& json, const std::string& key, std::size_t from = 0) {
  const std::size_t at = json.find("\"" + key + "\":", from);
  EXPECT_NE(at, std::string::npos) << key;
  return std::stod(json.substr(json.find(':', at) + 1));
}

MemoryLog LogOfCsv(const std::filesystem::path& path) {
  MemoryLog log;
  std::vector<MemoryReview> card;
  std::string current;
  for (const auto& row : CsvRows(path)) {
    if (row[0] != current && !card.empty()) {
      log.AddCard(card);
      card.clear();
    }
    current = row[0];
    card.push_back({std::stoi(row[1]), std::stoi(row[2])});
  }
  if (!card.empty()) log.AddCard(card);
  return log;
}

// ts-fsrs and the reference optimizer's own model give the same states for
// each step of a few review sequences, with the defaults and another set.
TEST(MemoryModelTest, StatesMatchTheReferenceImplementations) {
  const auto rows = CsvRows(kReference / "memory_states.csv");
  ASSERT_GT(rows.size(), 40u);
  std::map<std::string, std::vector<MemoryReview>> sequences;
  for (const auto& row : rows) {
    const MemoryParameters& w = row[0] == "default" ? kDefaultMemoryParameters : kLearner;
    auto& reviews = sequences[row[0] + row[1]];
    const int previous = reviews.empty() ? 0 : reviews.back().day;
    reviews.push_back({previous + std::stoi(row[3]), std::stoi(row[4])});
    const auto memory = ReplayCard(reviews, w);
    ASSERT_TRUE(memory);
    for (int column : {5, 7}) {
      SCOPED_TRACE(row[0] + " sequence " + row[1] + " step " + row[2] + " column " +
                   std::to_string(column));
      const double stability = std::stod(row[column]);
      EXPECT_NEAR(memory->state.stability, stability, 2e-6 * stability + 1e-6);
      EXPECT_NEAR(memory->state.difficulty, std::stod(row[column + 1]), 2e-6);
    }
    EXPECT_EQ(memory->lastDay, reviews.back().day);
  }
}

TEST(MemoryModelTest, RecallAndIntervalsMatchTsFsrs) {
  const auto rows = CsvRows(kReference / "memory_curve.csv");
  ASSERT_GT(rows.size(), 20u);
  for (const auto& row : rows) {
    const MemoryParameters& w = row[1] == "default" ? kDefaultMemoryParameters : kLearner;
    const double x = std::stod(row[2]);
    const double stability = std::stod(row[3]);
    const double value = std::stod(row[4]);
    SCOPED_TRACE(row[0] + " " + row[1] + " " + row[2]);
    if (row[0] == "recall") {
      EXPECT_NEAR(Retrievability(x, stability, w), value, 1e-7);
    } else {
      EXPECT_NEAR(IntervalForRetention(stability, x, w), value, 1e-5);
      EXPECT_NEAR(Retrievability(IntervalForRetention(stability, x, w), stability, w), x, 1e-9);
    }
  }
}

// Elapsed days are local calendar days; answers the model cannot use are
// passed over rather than breaking the card's memory.
TEST(MemoryModelTest, ReplayCountsLocalDaysAndPassesOverBadAnswers) {
  const LocalTime lateEvening{2026, 12, 9, 23, 59, 0};
  const LocalTime earlyMorning{2026, 12, 10, 0, 1, 0};
  EXPECT_EQ(MemoryReviewAt(earlyMorning, 3).day - MemoryReviewAt(lateEvening, 3).day, 1);

  const std::vector<MemoryReview> plain = {{100, 3}, {101, 3}, {104, 1}};
  const std::vector<MemoryReview> withBadGrades = {{99, 0},  {100, 3},  {101, 7},
                                                   {101, 3}, {104, -1}, {104, 1}};
  const auto expected = ReplayCard(plain, kDefaultMemoryParameters);
  const auto memory = ReplayCard(withBadGrades, kDefaultMemoryParameters);
  ASSERT_TRUE(expected && memory);
  EXPECT_DOUBLE_EQ(memory->state.stability, expected->state.stability);
  EXPECT_DOUBLE_EQ(memory->state.difficulty, expected->state.difficulty);
  EXPECT_EQ(memory->lastDay, 104);
  // A clock set back: the answer counts as given the same day.
  const std::vector<MemoryReview> back = {{100, 3}, {98, 3}};
  const std::vector<MemoryReview> sameDay = {{100, 3}, {100, 3}};
  EXPECT_DOUBLE_EQ(ReplayCard(back, kDefaultMemoryParameters)->state.stability,
                   ReplayCard(sameDay, kDefaultMemoryParameters)->state.stability);
  EXPECT_EQ(ReplayCard(back, kDefaultMemoryParameters)->lastDay, 100);
  EXPECT_FALSE(ReplayCard({}, kDefaultMemoryParameters));
  const std::vector<MemoryReview> noGrades = {{100, 0}, {101, 5}};
  EXPECT_FALSE(ReplayCard(noGrades, kDefaultMemoryParameters));
}

// The metrics agree with those computed with the reference optimizer's
// model on the same reviews, and the fit is as good as its own fit there
// (log loss within 1%).
TEST(MemoryFitTest, MatchesTheReferenceOptimizer) {
  const MemoryLog log = LogOfCsv(kReference / "fit_reviews.csv");
  const std::string json = ReadText(kReference / "fit_reference.json");
  ASSERT_EQ(PredictedReviews(log), static_cast<std::size_t>(JsonNumber(json, "predicted_reviews")));
  MemoryParameters theirs{};
  std::istringstream numbers(json.substr(json.find('[', json.find("\"binding_parameters\"")) + 1));
  for (double& v : theirs) {
    numbers >> v;
    numbers.ignore(1);
  }
  for (auto [w, key] :
       {std::pair{theirs, "\"fitted\""}, std::pair{kDefaultMemoryParameters, "\"defaults\""},
        std::pair{kLearner, "\"simulated\""}}) {
    const MemoryMetrics metrics = EvaluateMemory(log, w);
    const std::size_t at = json.find(key);
    EXPECT_NEAR(metrics.logLoss, JsonNumber(json, "logLoss", at), 1e-6) << key;
    EXPECT_NEAR(metrics.rmseBins, JsonNumber(json, "rmseBins", at), 1e-6) << key;
  }
  const FitResult fit = FitMemoryParameters(log);
  EXPECT_FALSE(fit.cancelled);
  EXPECT_EQ(fit.reviews, PredictedReviews(log));
  EXPECT_LT(EvaluateMemory(log, fit.parameters).logLoss,
            JsonNumber(json, "logLoss", json.find("\"fitted\"")) * 1.01);
}

// Fitted to a log simulated from known parameters, the model predicts a
// new log of the same learner nearly as well as those parameters do.
TEST(MemoryFitTest, RecoversTheParametersOfASimulatedLearner) {
  const MemoryLog practice = SimulateLearner(kLearner, 10000, 3);
  const MemoryLog exam = SimulateLearner(kLearner, 20000, 2);
  const FitResult fit = FitMemoryParameters(practice);
  const double truth = EvaluateMemory(exam, kLearner).logLoss;
  const double fitted = EvaluateMemory(exam, fit.parameters).logLoss;
  const double defaults = EvaluateMemory(exam, kDefaultMemoryParameters).logLoss;
  EXPECT_LT(fitted, truth * 1.005);
  EXPECT_LT(fitted, defaults - 0.7 * (defaults - truth));
  const auto expected = PredictRecalls(exam, kLearner);
  const auto predicted = PredictRecalls(exam, fit.parameters);
  ASSERT_EQ(expected.size(), predicted.size());
  double gap = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    gap += std::abs(expected[i].recall - predicted[i].recall);
  }
  EXPECT_LT(gap / expected.size(), 0.02);
  EXPECT_NEAR(fit.parameters[2], kLearner[2], 0.25 * kLearner[2]);  // good first answers
}

TEST(MemoryFitTest, OptimizingNeedsEnoughReviewsAndCanBeCancelled) {
  const MemoryLog small = SimulateLearner(kLearner, 300, 3);
  const MemoryOptimization tooFew = OptimizeMemory(small);
  EXPECT_EQ(tooFew.outcome, MemoryOptimization::Outcome::kTooFewReviews);
  EXPECT_EQ(tooFew.reviewsNeeded, kMinReviewsToFit - PredictedReviews(small));
  EXPECT_EQ(tooFew.parameters, kDefaultMemoryParameters);

  const MemoryLog log = SimulateLearner(kLearner, 10000, 3);
  std::size_t calls = 0;
  std::size_t last = 0;
  std::size_t total = 0;
  const MemoryOptimization done =
      OptimizeMemory(log, kDefaultMemoryParameters, [&](std::size_t d, std::size_t t) {
        ++calls;
        EXPECT_GT(d, last);
        last = d;
        total = t;
        return true;
      });
  EXPECT_EQ(done.outcome, MemoryOptimization::Outcome::kFitted);
  EXPECT_EQ(last, total);
  EXPECT_GT(calls, 5u);
  EXPECT_LT(done.after.logLoss, done.before.logLoss);
  EXPECT_GT(done.before.reviews, 400u);
  EXPECT_EQ(done.before.reviews, done.after.reviews);
  EXPECT_NE(done.parameters, kDefaultMemoryParameters);

  const MemoryOptimization cancelled =
      OptimizeMemory(log, kLearner, [](std::size_t d, std::size_t) { return d < 3; });
  EXPECT_EQ(cancelled.outcome, MemoryOptimization::Outcome::kCancelled);
  EXPECT_EQ(cancelled.parameters, kLearner);
}

class MemoryParametersFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("qev_memory_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(MemoryParametersFileTest, WrittenParametersReadBackAndBrokenFilesMeanDefaults) {
  const auto path = dir_ / kMemoryParametersName;
  EXPECT_EQ(ReadMemoryParameters(path), kDefaultMemoryParameters);
  EXPECT_FALSE(WriteMemoryParameters(path, kLearner));
  EXPECT_EQ(ReadMemoryParameters(path), kLearner);
  const std::string text = ReadText(path);
  EXPECT_TRUE(text.starts_with("#"));
  EXPECT_NE(text.find("\nw0 = 0.5\n"), std::string::npos);
  EXPECT_NE(text.find("\nw20 = 0.3\n"), std::string::npos);
  EXPECT_FALSE(WriteMemoryParameters(path, kDefaultMemoryParameters));  // over the old one
  EXPECT_EQ(ReadMemoryParameters(path), kDefaultMemoryParameters);

  auto textWith = [](int index, const std::string& value) {
    std::string out;
    for (int i = 0; i < kMemoryParameterCount; ++i) {
      if (i != index || !value.empty()) {
        out += "w" + std::to_string(i) + " = " + (i == index ? value : "0.5") + "\n";
      }
    }
    return out;
  };
  struct Case {
    const char* what;
    std::string text;
    bool read;
  };
  const Case cases[] = {
      {"spaces, CR LF, comments and a BOM", "\xEF\xBB\xBF# c\r\n\r\n  " + textWith(0, "  0.5 \r"),
       true},
      {"a parameter missing", textWith(7, ""), false},
      {"a parameter twice", textWith(-1, "") + "w3 = 0.5\n", false},
      {"an unknown parameter", textWith(-1, "") + "w21 = 1\n", false},
      {"a word", textWith(0, "abc"), false},
      {"not finite", textWith(0, "inf"), false},
      {"a stray line", textWith(-1, "") + "hello\n", false},
      {"empty", "", false},
  };
  for (const Case& c : cases) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.text;
    EXPECT_EQ(ParseMemoryParameters(c.text).has_value(), c.read) << c.what;
    EXPECT_EQ(ReadMemoryParameters(path) == kDefaultMemoryParameters, !c.read) << c.what;
  }
  // Out of range: brought into range, as the reference clamps.
  EXPECT_EQ((*ParseMemoryParameters(textWith(20, "5")))[20], 0.8);
  EXPECT_EQ((*ParseMemoryParameters(textWith(4, "-3")))[4], 1.0);
}

}  // namespace
}  // namespace qev
