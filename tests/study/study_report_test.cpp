#include "study/study_report.h"

#include <gtest/gtest.h>

#include "events/temp_folder.h"
#include "study/fake_round_host.h"
#include "study/memory_parameters.h"

namespace qev {
namespace {

using testing::FakeRoundHost;
using testing::LogAnswer;
using testing::TempFolder;

bool Has(const std::string& text, const std::string& line) {
  return text.find(line + "\n") != std::string::npos;
}

// The lines scripts read: today's counts, the parameters, their figures on
// the log, a card's memory; the fit with too few answers keeps the defaults.
TEST(StudyReportTest, PrintsTheCountsTheParametersAndEachCardAsKeyValueLines) {
  TempFolder folder;
  FakeRoundHost host(folder / kStudyLogName);
  host.lines = {{1, Sjis("AD0794;3,2,,;p;a;m;")}, {2, Sjis("AD1192;5,1,,;p;b;m;")}};
  LogAnswer(folder / kStudyLogName, host.lines[1], {2026, 12, 1, 9});
  LogAnswer(folder / kStudyLogName, host.lines[1], {2026, 12, 3, 9});
  Round round(host, testing::YearOnly());
  const std::string report = StudyReport(round, true);
  for (const char* line :
       {"date: 2026-12-09T09:00:00", "scheduler: fsrs", "retention: 0.90", "new per day: 20",
        "due: 0", "new: 1", "new left today: 20", "answers: 2", "cards answered: 1",
        "log loss: 0.0949", "reviews: 1", "parameters: default", "w0: 0.2120", "w20: 0.1542",
        // Good, and good two days on: 11 days of stability, due in five.
        "card: f\tAD0794\ta\t年\t10.9643\t2.1112\t2026-12-14\t0.9359",
        "card: f\tAD1192\tb\t年\t-\t-\t2026-12-09\t-"}) {
    EXPECT_TRUE(Has(report, line)) << line << "\n" << report;
  }

  // A log of first answers only predicts nothing: no figures, not a perfect 0.
  TempFolder firsts;
  FakeRoundHost first(firsts / kStudyLogName);
  first.lines = host.lines;
  LogAnswer(firsts / kStudyLogName, first.lines[0], {2026, 12, 1, 9});
  Round once(first, testing::YearOnly());
  const std::string unpredicted = StudyReport(once, false);
  for (const char* line : {"answers: 1", "log loss: -", "rmse bins: -", "reviews: 0"}) {
    EXPECT_TRUE(Has(unpredicted, line)) << line << "\n" << unpredicted;
  }

  const KeptOptimization kept = OptimizeAndKeep(round);
  const std::string figures = OptimizationReport(kept);
  EXPECT_TRUE(Has(figures, "outcome: too few reviews")) << figures;
  EXPECT_TRUE(Has(figures, "reviews needed: 399")) << figures;
  EXPECT_FALSE(std::filesystem::exists(folder / kMemoryParametersName));
}

}  // namespace
}  // namespace qev
