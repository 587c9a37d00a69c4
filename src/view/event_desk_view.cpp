// The view's part in finding, adding, editing and deleting events: the
// events of the loaded slots, jumps to a point, and the changed line shown
// selected.
#include "events/event_form.h"
#include "text/byte_fields.h"
#include "timeline/date_text.h"
#include "timeline/point_filter.h"
#include "timeline/point_pick.h"
#include "view/main_view.h"

namespace qev {
namespace {

EventKey KeyOf(int slot, std::size_t line) {
  return (static_cast<EventKey>(slot) << 32) | line;
}

EventLineLocation LocationOf(EventKey key) {
  return {static_cast<int>(key >> 32), static_cast<std::size_t>(key & 0xFFFFFFFFu)};
}

}  // namespace

std::vector<DeskEvent> MainView::Events() {
  std::vector<DeskEvent> events;
  for (int k = 0; k < EventStore::kSlotCount; ++k) {
    const FileSlot& slot = store_.slots[static_cast<std::size_t>(k)];
    if (slot.loaded != 1) continue;
    for (std::size_t j = 0; j < slot.Count(); ++j) {
      const OffLine off = slot.on != 1                             ? OffLine::kSlotOff
                          : !PassesFilter(settings_, slot.Line(j)) ? OffLine::kFilteredOut
                                                                   : OffLine::kOnLine;
      events.push_back({KeyOf(k, j), k, slot.Line(j), off});
    }
  }
  return events;
}

Sjis MainView::SlotLabel(int slot) const {
  return slot >= 0 && slot < EventStore::kSlotCount
             ? store_.slots[static_cast<std::size_t>(slot)].label
             : Sjis();
}

std::vector<int> MainView::LoadedSlots() const {
  std::vector<int> loaded;
  for (int k = 0; k < EventStore::kSlotCount; ++k) {
    if (store_.slots[static_cast<std::size_t>(k)].loaded == 1) loaded.push_back(k);
  }
  return loaded;
}

std::optional<DeskEvent> MainView::SelectedEvent() {
  const std::optional<EventLineLocation> at = SelectedLine();
  if (!at || screenPage_ != ScreenPage::kMain) return std::nullopt;
  return DeskEvent{KeyOf(at->slot, at->line), at->slot,
                   store_.slots[static_cast<std::size_t>(at->slot)].Line(at->line)};
}

bool MainView::ShowPoint(std::size_t index) {
  RedrawBatch::Scope scope(batch_);
  if (index >= points_.size()) return false;
  CloseStateText();
  CancelContentEdit();
  const TimelinePoint& point = points_.points()[index];
  const int offset = point.bc ? -point.offset1 : point.offset1;
  scale_.ScrollTo(TimelineScale::ThumbForOriginX(scale_.drawAreaWidth() / 2 - offset));
  savedScrollPos_ = scale_.scrollPos();
  platform_.SetScrollThumb(TimelineScale::ThumbForOriginX(scale_.originX()));
  DrawTimeline();
  RebuildVisiblePoints();
  DrawControlPanel();
  visible_.SelectFirst();
  const std::vector<VisiblePoint>& entries = visible_.entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].pointIndex == index) visible_.SetSelectedIndex(static_cast<int>(i));
  }
  ShowSelection();
  const VisiblePoint* selected = visible_.Selected();
  return selected != nullptr && selected->pointIndex == index;
}

std::optional<std::size_t> MainView::PointOf(EventKey key) const {
  const EventLineLocation at = LocationOf(key);
  const std::vector<TimelinePoint>& points = points_.points();
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (points[i].slot == at.slot && static_cast<std::size_t>(points[i].line) == at.line) return i;
  }
  return std::nullopt;
}

bool MainView::JumpToEvent(EventKey key) {
  const std::optional<std::size_t> index = PointOf(key);
  return index && ShowPoint(*index);
}

void MainView::ShowChangedEvent(EventKey key) {
  RedrawBatch::Scope scope(batch_);
  const std::optional<std::size_t> index = PointOf(key);
  const std::vector<VisiblePoint>& entries = visible_.entries();
  if (index) {
    // In view it is only selected; elsewhere the line scrolls to it.
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].pointIndex != *index) continue;
      const int selected = static_cast<int>(i);
      RebuildVisiblePoints();
      DrawControlPanel();
      visible_.SetSelectedIndex(selected);
      ShowSelection();
      return;
    }
    if (ShowPoint(*index)) return;
  }
  RedrawChangedLine();
}

bool MainView::GoToYear(EraYear year) {
  const std::optional<std::size_t> index = NearestPoint(points_.points(), scale_, year);
  return index && ShowPoint(*index);
}

void MainView::SelectRandomOnLine() {
  if (const std::optional<std::size_t> index = RandomPoint(points_.size(), random_)) {
    ShowPoint(*index);
  }
}

std::optional<std::string> MainView::PointTipAt(int x, int y) {
  if (screenPage_ != ScreenPage::kMain || settings_.pointDisplayMode == 0) return std::nullopt;
  const std::optional<std::size_t> at =
      PointMarkAt(visible_, scale_, x - layout_.drawAreaX(), y - layout_.drawAreaY());
  // Only the selected point's mark is drawn unless every point is marked.
  if (!at ||
      (settings_.pointDisplayMode != 1 && static_cast<int>(*at) != visible_.selectedIndex())) {
    return std::nullopt;
  }
  const TimelinePoint& point = points_.points()[visible_.entries()[*at].pointIndex];
  std::string_view line =
      store_.slots[static_cast<std::size_t>(point.slot)].Line(static_cast<std::size_t>(point.line));
  std::string_view text = Field(line, ';', 3);
  if (ByteAt(text, 0) == '*') text.remove_prefix(1);
  return DecodeCp932(EventDateText(line)) + "\n" + DecodeCp932(text);
}

bool MainView::AddEvent(int k, Sjis line) {
  if (k < 0 || k >= EventStore::kSlotCount) return false;
  FileSlot& slot = store_.slots[static_cast<std::size_t>(k)];
  if (slot.loaded != 1) return false;
  const std::optional<EraYear> first = FirstDate(line);
  if (!first) return false;
  const std::size_t j = InsertionIndex(slot.lines, *first);
  const bool passes = slot.on == 1 && PassesFilter(settings_, line);
  slot.lines.insert(slot.lines.begin() + static_cast<long>(j), line);
  slot.changed = 1;
  ++eventsVersion_;
  if (slot.on == 1) {
    points_.InsertLine(k, j, line, passes, [this](int year) { return scale_.YearToOffset(year); });
  }
  ShowChangedEvent(KeyOf(k, j));
  return true;
}

bool MainView::ReplaceEvent(EventKey key, Sjis line) {
  const EventLineLocation at = LocationOf(key);
  if (at.slot < 0 || at.slot >= EventStore::kSlotCount) return false;
  const FileSlot& slot = store_.slots[static_cast<std::size_t>(at.slot)];
  const bool passes = slot.on == 1 && PassesFilter(settings_, line);
  if (!WriteLine(at, line)) return false;
  if (slot.on == 1) {
    points_.ReplaceLine(at.slot, at.line, line, passes,
                        [this](int year) { return scale_.YearToOffset(year); });
  }
  ShowChangedEvent(key);
  return true;
}

bool MainView::DeleteEvent(EventKey key) {
  const EventLineLocation at = LocationOf(key);
  if (at.slot < 0 || at.slot >= EventStore::kSlotCount) return false;
  FileSlot& slot = store_.slots[static_cast<std::size_t>(at.slot)];
  if (at.line >= slot.Count()) return false;
  RedrawBatch::Scope scope(batch_);
  slot.lines.erase(slot.lines.begin() + static_cast<long>(at.line));
  slot.changed = 1;
  ++eventsVersion_;
  if (slot.on == 1) {
    points_.RemoveLine(at.slot, at.line, [this](int year) { return scale_.YearToOffset(year); });
  }
  RedrawChangedLine();
  return true;
}

}  // namespace qev
