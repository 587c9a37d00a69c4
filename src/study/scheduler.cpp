#include "study/scheduler.h"

#include <algorithm>

#include "study/study_time.h"

namespace qev {

std::optional<int> Scheduler::NextDueDay(CardPool& pool, const Schedule& at) const {
  const int today = DayNumber(at.now);
  const int newDay = Count(pool, at).newLeft > 0 ? today : today + 1;
  std::optional<int> next;
  for (const Card& card : pool.All()) {
    const int day = card.history.lastAnswered() ? std::max(DueDay(card, at), today) : newDay;
    if (!next || day < *next) next = day;
  }
  return next;
}

}  // namespace qev
