#include "study/schedule.h"

#include <algorithm>
#include <limits>

namespace qev {
namespace {

int ClampLevel(int level) {
  return level >= 1 && level <= 5 ? level : 1;
}

constexpr std::int64_t kSecondsPerDay = 86400;

int DayOfMoment(std::int64_t moment) {
  return static_cast<int>(moment >= 0 ? moment / kSecondsPerDay
                                      : (moment - kSecondsPerDay + 1) / kSecondsPerDay);
}

// The at most `n` of `chosen` first in the round's order, sorted.
std::vector<std::size_t> FirstInOrder(const std::vector<ScheduleItem>& items,
                                      std::vector<std::size_t> chosen, int n) {
  auto before = [&](std::size_t a, std::size_t b) {
    const ScheduleItem& x = items[a];
    const ScheduleItem& y = items[b];
    const int lx = ClampLevel(x.level);
    const int ly = ClampLevel(y.level);
    if (lx != ly) return lx < ly;
    const std::int64_t tx = x.lastAnswered.value_or(std::numeric_limits<std::int64_t>::min());
    const std::int64_t ty = y.lastAnswered.value_or(std::numeric_limits<std::int64_t>::min());
    if (tx != ty) return tx < ty;
    return a < b;
  };
  const std::size_t count = std::min(chosen.size(), static_cast<std::size_t>(std::max(n, 0)));
  std::partial_sort(chosen.begin(), chosen.begin() + static_cast<std::ptrdiff_t>(count),
                    chosen.end(), before);
  chosen.resize(count);
  return chosen;
}

}  // namespace

int IntervalDays(int level) {
  static constexpr int kDays[] = {0, 1, 3, 7, 21};
  return kDays[ClampLevel(level) - 1];
}

int DueDay(const ScheduleItem& item, int today) {
  if (!item.lastAnswered) return today;
  return DayOfMoment(*item.lastAnswered) + IntervalDays(item.level);
}

bool IsDue(const ScheduleItem& item, int today) {
  return DueDay(item, today) <= today;
}

std::vector<std::size_t> PlanRound(const std::vector<ScheduleItem>& items, int today, int n) {
  std::vector<std::size_t> due;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (IsDue(items[i], today)) due.push_back(i);
  }
  return FirstInOrder(items, std::move(due), n);
}

std::vector<std::size_t> LowestLevelRound(const std::vector<ScheduleItem>& items, int n) {
  std::vector<std::size_t> all(items.size());
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
  return FirstInOrder(items, std::move(all), n);
}

std::optional<int> NextDueDay(const std::vector<ScheduleItem>& items, int today) {
  std::optional<int> next;
  for (const ScheduleItem& item : items) {
    const int day = std::max(DueDay(item, today), today);
    if (!next || day < *next) next = day;
  }
  return next;
}

}  // namespace qev
