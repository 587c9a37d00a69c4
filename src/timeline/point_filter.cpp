#include "timeline/point_filter.h"

#include "events/event_line.h"

namespace qev {

bool PassesFilter(const DisplaySettings& settings, char importance, char memorisation) {
  bool byMemorisation = settings.filterPriority == 1;
  char level = byMemorisation ? memorisation : importance;
  if (level < '1' || level > '5') return false;
  const auto& filter = byMemorisation ? settings.memorisationFilter : settings.importanceFilter;
  return filter[static_cast<std::size_t>(level - '0')] == 1;
}

bool PassesFilter(const DisplaySettings& settings, std::string_view eventLine) {
  const EventLevels levels = LevelsOf(eventLine);
  return PassesFilter(settings, levels.importance, levels.memorisation);
}

}  // namespace qev
