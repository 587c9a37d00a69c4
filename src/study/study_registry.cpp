#include "study/study_registry.h"

#include "study/fsrs_scheduler.h"
#include "study/leitner_scheduler.h"
#include "study/order_question.h"
#include "study/place_question.h"
#include "study/year_question.h"

namespace qev {

const StudyRegistry& StudyRegistry::Standard() {
  static const StudyRegistry registry = [] {
    StudyRegistry r;
    r.Add(std::make_unique<YearQuestion>());
    r.Add(std::make_unique<OrderQuestion>());
    r.Add(std::make_unique<PlaceQuestion>());
    r.Add(std::make_unique<FsrsScheduler>());
    r.Add(std::make_unique<LeitnerScheduler>());
    return r;
  }();
  return registry;
}

std::vector<const QuestionKind*> StudyRegistry::kinds() const {
  std::vector<const QuestionKind*> kinds;
  for (const auto& kind : kinds_) kinds.push_back(kind.get());
  return kinds;
}

std::vector<const Scheduler*> StudyRegistry::schedulers() const {
  std::vector<const Scheduler*> schedulers;
  for (const auto& scheduler : schedulers_) schedulers.push_back(scheduler.get());
  return schedulers;
}

}  // namespace qev
