#pragma once

#include <vector>

#include "model/study_session.h"

namespace qev {

// What tests and benchmarks ask of the model that the program never does.
struct SessionProbe {
  // The events on the line under the current filters, in point-list
  // (chronological) order: entry i is point i.
  static std::vector<EventId> PointEvents(const StudySession& s) {
    std::vector<EventId> ids;
    ids.reserve(s.points().size());
    for (const TimelinePoint& p : s.points().points()) ids.push_back(p.id());
    return ids;
  }
  // Every event of the loaded slots, switched on or off, in slot and file
  // order.
  static std::vector<EventId> AllEvents(const StudySession& s) {
    std::vector<EventId> ids;
    for (const FileSlot& slot : s.store().slots) {
      if (slot.loaded != 1) continue;
      for (std::size_t i = 0; i < slot.Count(); ++i) ids.push_back(slot.IdAt(i));
    }
    return ids;
  }
  // Puts the era line at drawing-area x `originX`, wherever the scroll bar
  // could not put it (as a range change may); the visible points follow and
  // the first of them is selected.
  static Changes PutEraLineAt(StudySession& s, int originX) {
    s.scale_.SetOriginX(originX);
    s.RebuildVisiblePoints();
    Changes changes = s.Scrolled();
    changes |= s.Select(SelectionStep::kFirst);
    changes.points = true;
    return changes;
  }
};

}  // namespace qev
