#pragma once

#include <optional>
#include <string>

#include "study/fsrs_fit.h"
#include "study/round.h"

namespace qev {

// The study's figures as plain "key: value" lines (UTF-8), for scripts and
// tests: the counts of today, the parameters in use and how well they
// predict the whole log; with `cards`, one "card:" line per card of the
// line, its fields separated by tabs: file, date field, event, kind,
// stability, difficulty, due date, predicted recall now ("-" for a card
// never answered).
std::string StudyReport(Round& round, bool cards);

// Fits the parameters to the whole log as "記憶モデルを最適化" does, the
// fitted ones kept in the data folder and used from now on when they
// predict the held-out answers better.
struct KeptOptimization {
  MemoryOptimization result;
  std::string problem;  // why the file could not be written (UTF-8); empty when it was
};
KeptOptimization OptimizeAndKeep(Round& round, const FitProgress& progress = {});
// Keeps a fit's result: writes the file and gives the round the parameters
// when they were fitted. Why the file could not be written, or nothing.
std::optional<std::string> KeepOptimization(Round& round, const MemoryOptimization& result);
// "既定に戻す": the defaults written to the file and used from now on.
std::optional<std::string> ResetMemoryParameters(Round& round);
// The fit's figures as "key: value" lines.
std::string OptimizationReport(const KeptOptimization& kept);

}  // namespace qev
