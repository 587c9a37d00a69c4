#include "view/session_desk.h"

#include "events/event_form.h"
#include "events/event_line.h"
#include "timeline/date_text.h"
#include "timeline/point_filter.h"
#include "timeline/point_pick.h"

namespace qev {

std::vector<DeskEvent> SessionDesk::Events() {
  std::vector<DeskEvent> events;
  const EventStore& store = session_.store();
  for (int k = 0; k < EventStore::kSlotCount; ++k) {
    const FileSlot& slot = store.slots[static_cast<std::size_t>(k)];
    if (!slot.loaded) continue;
    for (std::size_t j = 0; j < slot.Count(); ++j) {
      const OffLine off = !slot.on                                           ? OffLine::kSlotOff
                          : !PassesFilter(session_.settings(), slot.Line(j)) ? OffLine::kFilteredOut
                                                                             : OffLine::kOnLine;
      events.push_back({slot.IdAt(j), k, slot.Line(j), off});
    }
  }
  return events;
}

std::optional<DeskEvent> SessionDesk::EventOf(EventId id) const {
  if (id.slot < 0 || id.slot >= EventStore::kSlotCount) return std::nullopt;
  const FileSlot& slot = session_.store().slots[static_cast<std::size_t>(id.slot)];
  const std::optional<std::size_t> j = slot.IndexOf(id);
  if (!j) return std::nullopt;
  return DeskEvent{id, id.slot, slot.Line(*j)};
}

Sjis SessionDesk::SlotLabel(int slot) const {
  return slot >= 0 && slot < EventStore::kSlotCount
             ? session_.store().slots[static_cast<std::size_t>(slot)].label
             : Sjis();
}

std::vector<int> SessionDesk::LoadedSlots() const {
  std::vector<int> loaded;
  for (int k = 0; k < EventStore::kSlotCount; ++k) {
    if (session_.store().slots[static_cast<std::size_t>(k)].loaded) loaded.push_back(k);
  }
  return loaded;
}

std::string SessionDesk::EditRefusal() const {
  if (selfTestOpen_) {
    return "確認テストの間は編集できません。確認テストの画面を閉じてから編集してください。";
  }
  if (session_.edit().editing()) {
    return "内容変更の途中です。[実行]か[中止]で終えてから、もう一度どうぞ。";
  }
  return {};
}

std::string SessionDesk::SelectRefusal() const {
  if (!session_.questionOpen()) return {};
  return "確認テストの問題に答えるまで、検索・年へ移動・ランダム選択はできません。";
}

std::optional<DeskEvent> SessionDesk::SelectedEvent() {
  const std::optional<EventId> id = session_.SelectedEvent();
  return id ? EventOf(*id) : std::nullopt;
}

bool SessionDesk::Show(const EventOutcome& outcome) {
  view_.Redraw(outcome.changes);
  return outcome.selected();
}

OffLine SessionDesk::JumpToEvent(EventId key) {
  const EventOutcome outcome = session_.SelectEvent(key);
  Show(outcome);
  switch (outcome.place) {
    case EventPlace::kSelected:
      return OffLine::kOnLine;
    case EventPlace::kSlotOff:
      return OffLine::kSlotOff;
    case EventPlace::kFilteredOut:
      return OffLine::kFilteredOut;
    case EventPlace::kNoSuchEvent:
      break;
  }
  return OffLine::kGone;
}

bool SessionDesk::GoToYear(EraYear year) {
  if (session_.questionOpen()) return true;
  const std::vector<TimelinePoint>& points = session_.points().points();
  const std::optional<std::size_t> i = NearestPoint(points, session_.scale(), year);
  return i && Show(session_.SelectEvent(points[*i].id()));
}

void SessionDesk::SelectRandomOnLine() {
  if (session_.questionOpen()) return;
  const std::vector<TimelinePoint>& points = session_.points().points();
  if (const std::optional<std::size_t> i = RandomPoint(points.size(), random_)) {
    Show(session_.SelectEvent(points[*i].id()));
  }
}

std::optional<std::string> SessionDesk::PointTipAt(int x, int y) {
  const DisplaySettings& settings = session_.settings();
  if (settings.pointDisplayMode == PointDisplayMode::kHidden || settings.yearsHidden) {
    return std::nullopt;
  }
  const ScreenLayout& layout = session_.scale().layout();
  const VisiblePointList& visible = session_.visible();
  const std::optional<std::size_t> at =
      PointMarkAt(visible, session_.scale(), x - layout.drawAreaX(), y - layout.drawAreaY());
  // Only the selected point's mark is drawn unless every point is marked.
  if (!at || (settings.pointDisplayMode != PointDisplayMode::kAll &&
              static_cast<int>(*at) != visible.selectedIndex())) {
    return std::nullopt;
  }
  const std::optional<DeskEvent> event =
      EventOf(session_.points().points()[visible.entries()[*at].pointIndex].id());
  if (!event) return std::nullopt;
  const EventFields fields = ParseEvent(event->line);
  return DecodeCp932(EventDateText(fields)) + "\n" + DecodeCp932(fields.event);
}

bool SessionDesk::AddEvent(int k, Sjis line) {
  if (k < 0 || k >= EventStore::kSlotCount) return false;
  const FileSlot& slot = session_.store().slots[static_cast<std::size_t>(k)];
  const std::optional<EraYear> first = FirstDate(line);
  if (!slot.loaded || !first) return false;
  const std::size_t index = InsertionIndex(slot.lines(), *first);
  EventsChanged();
  Show(session_.InsertEvent(k, index, std::move(line)));
  return true;
}

bool SessionDesk::ReplaceEvent(EventId key, Sjis line) {
  EventsChanged();
  const EventOutcome outcome = session_.ReplaceEvent(key, std::move(line));
  Show(outcome);
  return outcome.place != EventPlace::kNoSuchEvent;
}

bool SessionDesk::DeleteEvent(EventId key) {
  EventsChanged();
  const EventOutcome outcome = session_.RemoveEvent(key);
  Show(outcome);
  return outcome.place != EventPlace::kNoSuchEvent;
}

}  // namespace qev
