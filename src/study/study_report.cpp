#include "study/study_report.h"

#include <cstdio>

#include "events/event_line.h"
#include "study/card_memories.h"
#include "study/event_key.h"
#include "study/memory_parameters.h"
#include "study/study_time.h"

namespace qev {
namespace {

std::string Number(double value, int digits = 4) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", digits, value);
  return text;
}

std::string Line(std::string_view key, std::string_view value) {
  return std::string(key) + ": " + std::string(value) + "\n";
}

std::string Date(int day) {
  return IsoDateTime(DateOfDay(day)).substr(0, 10);
}

std::string Metrics(std::string_view prefix, const MemoryMetrics& metrics) {
  std::string p(prefix);
  // Nothing predicted has no figures: a 0 would read as a perfect model.
  const bool none = metrics.reviews == 0;
  return Line(p + "log loss", none ? "-" : Number(metrics.logLoss)) +
         Line(p + "rmse bins", none ? "-" : Number(metrics.rmseBins)) +
         Line(p + "reviews", std::to_string(metrics.reviews));
}

// A field of a "card:" line: tabs and line breaks would split it.
std::string Field(std::string text) {
  for (char& c : text) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

const char* OutcomeName(MemoryOptimization::Outcome outcome) {
  switch (outcome) {
    case MemoryOptimization::Outcome::kFitted:
      return "fitted";
    case MemoryOptimization::Outcome::kNoImprovement:
      return "no improvement";
    case MemoryOptimization::Outcome::kTooFewReviews:
      return "too few reviews";
    case MemoryOptimization::Outcome::kCancelled:
      return "cancelled";
  }
  return "";
}

}  // namespace

std::string StudyReport(Round& round, bool cards) {
  const LocalTime now = round.Now();
  const DueCount count = round.Count();
  std::string text = Line("date", IsoDateTime(now));
  text += Line("scheduler", round.scheduler().name());
  text += Line("retention", Number(round.goals().retention, 2));
  text += Line("new per day", std::to_string(round.goals().newPerDay));
  text += Line("due", std::to_string(count.due));
  text += Line("new", std::to_string(count.fresh));
  text += Line("new left today", std::to_string(count.newLeft));
  const MemoryLog log = MemoryLogOf(round.history());
  text += Line("answers", std::to_string(log.answers()));
  text += Line("cards answered", std::to_string(log.cards()));
  text += Metrics("", EvaluateMemory(log, round.parameters()));
  text += Line("parameters",
               round.parameters() == kDefaultMemoryParameters ? "default" : kMemoryParametersName);
  for (int i = 0; i < kMemoryParameterCount; ++i) {
    text +=
        Line("w" + std::to_string(i), Number(round.parameters()[static_cast<std::size_t>(i)], 4));
  }
  if (!cards) return text;
  for (const CardReport& card : round.Cards()) {
    std::string fields =
        Field(DecodeCp932(card.baseName)) + "\t" + Field(DecodeCp932(EventDateField(card.line))) +
        "\t" + Field(DecodeCp932(EventTextField(card.line))) + "\t" + std::string(card.kind) + "\t";
    if (card.state) {
      fields += Number(card.state->memory.state.stability) + "\t" +
                Number(card.state->memory.state.difficulty) + "\t" + Date(card.dueDay) + "\t" +
                Number(card.recall);
    } else {
      fields += "-\t-\t" + Date(card.dueDay) + "\t-";
    }
    text += Line("card", fields);
  }
  return text;
}

std::optional<std::string> KeepOptimization(Round& round, const MemoryOptimization& result) {
  if (result.outcome != MemoryOptimization::Outcome::kFitted) return std::nullopt;
  round.SetParameters(result.parameters);
  return WriteMemoryParameters(round.ParametersPath(), result.parameters);
}

std::optional<std::string> ResetMemoryParameters(Round& round) {
  round.SetParameters(kDefaultMemoryParameters);
  return WriteMemoryParameters(round.ParametersPath(), kDefaultMemoryParameters);
}

KeptOptimization OptimizeAndKeep(Round& round, const FitProgress& progress) {
  KeptOptimization kept;
  kept.result = OptimizeMemory(MemoryLogOf(round.history()), round.parameters(), progress);
  kept.problem = KeepOptimization(round, kept.result).value_or("");
  return kept;
}

std::string OptimizationReport(const KeptOptimization& kept) {
  const MemoryOptimization& r = kept.result;
  std::string text = Line("outcome", OutcomeName(r.outcome));
  text += Line("reviews", std::to_string(r.reviews));
  if (r.outcome == MemoryOptimization::Outcome::kTooFewReviews) {
    text += Line("reviews needed", std::to_string(r.reviewsNeeded));
  } else {
    text += Metrics("before ", r.before) + Metrics("after ", r.after);
  }
  if (!kept.problem.empty()) text += Line("problem", kept.problem);
  for (int i = 0; i < kMemoryParameterCount; ++i) {
    text += Line("w" + std::to_string(i), Number(r.parameters[static_cast<std::size_t>(i)], 4));
  }
  return text;
}

}  // namespace qev
