#include "view/study_host.h"

#include "events/event_line.h"
#include "model/content_edit.h"
#include "study/study_log.h"
#include "text/byte_fields.h"

namespace qev {

const std::vector<TimelinePoint>& StudyHost::PoolPoints() {
  return session_.points().points();
}

std::vector<std::optional<PoolLine>> StudyHost::LinesOf(
    std::span<const TimelinePoint* const> points) {
  // Read in place, each line's place asked for a few points ahead: a round
  // looks at thousands of lines spread over the slots.
  constexpr std::size_t kAhead = 8;
  const EventStore& store = session_.store();
  auto slotOf = [&store](const TimelinePoint& point) -> const FileSlot& {
    return store.slots[static_cast<std::size_t>(point.slot)];
  };
  std::vector<std::optional<PoolLine>> lines;
  lines.reserve(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i + kAhead < points.size()) {
      const TimelinePoint& later = *points[i + kAhead];
      slotOf(later).Prefetch(static_cast<std::size_t>(later.line));
    }
    const TimelinePoint& point = *points[i];
    const FileSlot& slot = slotOf(point);
    const std::optional<std::size_t> index =
        slot.IndexOf(point.id(), static_cast<std::size_t>(point.line));
    lines.push_back(index ? std::optional(PoolLine{slot.baseName, slot.Line(*index)})
                          : std::nullopt);
  }
  return lines;
}

std::optional<std::vector<EventId>> StudyHost::ReplacedSince(LinesStamp& stamp) {
  std::optional<std::vector<EventId>> replaced(std::in_place);
  for (std::size_t k = 0; k < stamp.size(); ++k) {
    const FileSlot& slot = session_.store().slots[k];
    if (stamp[k] == slot.revision()) continue;
    const std::optional<std::vector<EventId>> ids = slot.ReplacedSince(stamp[k]);
    if (ids && replaced) {
      replaced->insert(replaced->end(), ids->begin(), ids->end());
    } else {
      replaced.reset();
    }
    stamp[k] = slot.revision();
  }
  return replaced;
}

void StudyHost::ShowQuestion(EventId id, const Concealment& hidden) {
  view_.Redraw(session_.AskAbout(id, hidden.place));
}

void StudyHost::RevealAnswer(std::vector<QuestionMarks::Label> marks) {
  view_.Redraw(session_.ShowAnswer(std::move(marks)));
}

void StudyHost::LeaveQuestion() {
  view_.Redraw(session_.LeaveQuestion());
}

bool StudyHost::SetMemorisationLevel(EventId id, int level) {
  const std::optional<Sjis> line = session_.EventLine(id);
  if (!line) return false;
  // The line a click on "記憶度変更=" writes: the importance as it is, the
  // memorisation digit changed, nothing else touched.
  std::optional<Sjis> changed = WriteLevelDigits(*line, DigitAt(*line, kImportancePos), level);
  if (!changed) return false;
  const EventOutcome outcome = session_.ReplaceEvent(id, std::move(*changed));
  view_.Redraw(outcome.changes);
  return outcome.place != EventPlace::kNoSuchEvent;
}

std::vector<StudySlot> StudyHost::LoadedSlots() {
  std::vector<StudySlot> slots;
  for (int k = 0; k < EventStore::kSlotCount; ++k) {
    const FileSlot& slot = session_.store().slots[static_cast<std::size_t>(k)];
    if (slot.loaded != 1) continue;
    slots.push_back({slot.title.empty() ? slot.baseName : slot.title, k});
  }
  return slots;
}

std::filesystem::path StudyHost::StudyLogPath() {
  return session_.store().dataDir() / std::filesystem::path(kStudyLogName);
}

}  // namespace qev
