#pragma once

#include <memory>
#include <vector>

#include "study/question_kind.h"
#include "study/scheduler.h"

namespace qev {

// The question kinds and the schedulers a round can use, in the order the
// windows offer them. Adding one is a file of its own and a line of
// StudyRegistry::Standard's table.
class StudyRegistry {
 public:
  // The program's own: every kind and scheduler it has.
  static const StudyRegistry& Standard();

  void Add(std::unique_ptr<QuestionKind> kind) { kinds_.push_back(std::move(kind)); }
  void Add(std::unique_ptr<Scheduler> scheduler) { schedulers_.push_back(std::move(scheduler)); }

  std::vector<const QuestionKind*> kinds() const;
  std::vector<const Scheduler*> schedulers() const;

 private:
  std::vector<std::unique_ptr<QuestionKind>> kinds_;
  std::vector<std::unique_ptr<Scheduler>> schedulers_;
};

}  // namespace qev
