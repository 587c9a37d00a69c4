#include "study/self_test.h"

#include <algorithm>
#include <cstdint>

#include "events/event_date.h"
#include "events/event_line.h"
#include "study/event_key.h"
#include "study/study_time.h"
#include "text/byte_fields.h"
#include "timeline/date_text.h"

namespace qev {
namespace {

// A memorisation digit outside 1..5 counts as level 1.
int LevelOfDigit(char digit) {
  return digit >= '1' && digit <= '5' ? digit - '0' : 1;
}
int LevelOf(std::string_view line) {
  return LevelOfDigit(ByteAt(line, kMemorisationPos));
}

// The next at most `count` points at memorisation level `level` from `next`
// on, in timeline order; `next` moves past them.
std::vector<const TimelinePoint*> NextAtLevel(const std::vector<TimelinePoint>& points, int level,
                                              std::size_t count, std::size_t& next) {
  std::vector<const TimelinePoint*> found;
  found.reserve(count);
  for (; next < points.size() && found.size() < count; ++next) {
    if (LevelOfDigit(points[next].memorisation) == level) found.push_back(&points[next]);
  }
  return found;
}

// A round looks at a level's events in batches, in timeline order. The
// lines of a batch are spread over memory: each is fetched a few events
// before it is read, so that the waits for them overlap instead of adding
// up over a long line.
constexpr std::size_t kBatch = 256;
constexpr std::size_t kAhead = 8;

}  // namespace

const StudyLog& SelfTest::log() {
  if (!log_) log_ = StudyLog::Read(host_.StudyLogPath());
  return *log_;
}

SelfTest::Askable SelfTest::LookAt(std::span<const TimelinePoint* const> points) {
  const std::vector<std::optional<PoolLine>> lines = host_.LinesOf(points);
  std::vector<std::optional<FileKeys>> files;  // by slot
  Askable askable;
  askable.events.reserve(lines.size());
  askable.keys.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i + kAhead < lines.size() && lines[i + kAhead]) {
      const std::string_view later = lines[i + kAhead]->line;
      __builtin_prefetch(later.data());
      // The event text may lie beyond the first cache line.
      __builtin_prefetch(later.data() + std::min<std::size_t>(later.size(), 64));
    }
    if (!lines[i] || !FirstDate(lines[i]->line)) continue;  // only a date can be asked for
    const TimelinePoint& point = *points[i];
    const auto slot = static_cast<std::size_t>(std::max(point.slot, 0));
    if (files.size() <= slot) files.resize(slot + 1);
    if (!files[slot]) files[slot].emplace(lines[i]->baseName);
    askable.events.push_back({point.id(), lines[i]->baseName, lines[i]->line, point.memorisation});
    askable.keys.push_back(files[slot]->Of(lines[i]->line));
  }
  return askable;
}

SelfTest::Askable SelfTest::AskablePool() {
  std::vector<const TimelinePoint*> points;
  for (const TimelinePoint& point : host_.PoolPoints()) points.push_back(&point);
  return LookAt(points);
}

std::vector<ScheduleItem> SelfTest::ScheduleOf(const Askable& pool) {
  const std::vector<std::optional<std::int64_t>> last = log().LastAnswered(pool.keys);
  std::vector<ScheduleItem> items;
  items.reserve(pool.events.size());
  for (std::size_t i = 0; i < pool.events.size(); ++i) {
    items.push_back({LevelOfDigit(pool.events[i].memorisation), last[i]});
  }
  return items;
}

SelfTest::Start SelfTest::StartRound(int n) {
  n = std::clamp(n, kMinRoundSize, kMaxRoundSize);
  const int today = DayNumber(host_.Now());
  const StudyLog& history = log();
  // The lines only of the events a round looks at: level by level from the
  // lowest, while the lower ones leave room in the round. Within a level
  // the events never answered come first, in timeline order, so the look at
  // a level ends once they fill the room.
  const std::vector<TimelinePoint>& points = host_.PoolPoints();
  std::vector<PoolEvent> due;
  std::vector<ScheduleItem> items;
  bool askable = false;
  for (int level = 1; level <= 5 && due.size() < static_cast<std::size_t>(n); ++level) {
    const std::size_t room = static_cast<std::size_t>(n) - due.size();
    std::size_t neverAnswered = 0;
    for (std::size_t next = 0; next < points.size() && neverAnswered < room;) {
      const Askable batch = LookAt(NextAtLevel(points, level, kBatch, next));
      askable |= !batch.events.empty();
      const std::vector<std::optional<std::int64_t>> last = history.LastAnswered(batch.keys);
      for (std::size_t i = 0; i < batch.events.size() && neverAnswered < room; ++i) {
        const ScheduleItem item{level, last[i]};
        if (!IsDue(item, today)) continue;
        due.push_back(batch.events[i]);
        items.push_back(item);
        neverAnswered += item.lastAnswered ? 0 : 1;
      }
    }
  }
  const std::vector<std::size_t> chosen = PlanRound(items, today, n);
  if (chosen.empty()) {
    questions_.clear();
    index_ = 0;
    // Nothing due: every level was looked at.
    return askable ? Start::kNothingDue : Start::kEmptyPool;
  }
  return Begin(due, chosen);
}

SelfTest::Start SelfTest::StartLowestLevelRound(int n) {
  const Askable pool = AskablePool();
  const std::vector<std::size_t> chosen =
      LowestLevelRound(ScheduleOf(pool), std::clamp(n, kMinRoundSize, kMaxRoundSize));
  if (chosen.empty()) return Start::kEmptyPool;
  return Begin(pool.events, chosen);
}

SelfTest::Start SelfTest::Begin(const std::vector<PoolEvent>& pool,
                                const std::vector<std::size_t>& chosen) {
  questions_.clear();
  for (std::size_t i : chosen) {
    const PoolEvent& e = pool[i];
    questions_.push_back({e.id, Sjis(e.baseName), Sjis(e.line)});
  }
  index_ = 0;
  revealed_ = false;
  summary_ = {};
  touched_.clear();
  ShowCurrent();
  return Start::kRound;
}

void SelfTest::ShowCurrent() {
  if (over()) return;
  host_.ShowQuestion(questions_[index_].id);
}

const StudyEvent* SelfTest::current() const {
  return index_ < questions_.size() ? &questions_[index_] : nullptr;
}

AnswerOutcome SelfTest::Answer(std::string_view typed) {
  if (!asking()) return {};
  const std::optional<Sjis> line = host_.EventLine(questions_[index_].id);
  if (line) questions_[index_].line = *line;
  const AnswerVerdict verdict = CheckAnswer(questions_[index_].line, typed);
  if (verdict == AnswerVerdict::kUnreadable) return {};
  return Record(verdict, typed);
}

AnswerOutcome SelfTest::GiveUp() {
  if (!asking()) return {};
  return Record(AnswerVerdict::kWrong, "");
}

AnswerOutcome SelfTest::Record(AnswerVerdict verdict, std::string_view typed) {
  StudyEvent& event = questions_[index_];
  const bool right = verdict == AnswerVerdict::kRight;
  AnswerOutcome outcome;
  outcome.verdict = verdict;
  outcome.levelBefore = LevelOf(event.line);
  const int wanted = right ? std::min(outcome.levelBefore + 1, 5) : 1;
  outcome.levelAfter = outcome.levelBefore;
  if (wanted != outcome.levelBefore && host_.SetMemorisationLevel(event.id, wanted)) {
    outcome.levelAfter = wanted;
    if (std::find(touched_.begin(), touched_.end(), event.id.slot) == touched_.end()) {
      touched_.push_back(event.id.slot);
    }
    if (const std::optional<Sjis> line = host_.EventLine(event.id)) event.line = *line;
  }
  outcome.dateText = EventDateText(event.line);

  ++summary_.questions;
  ++(right ? summary_.right : summary_.wrong);
  if (outcome.levelAfter > outcome.levelBefore) ++summary_.levelsUp;
  if (outcome.levelAfter < outcome.levelBefore) ++summary_.levelsDown;

  log();  // read before the append, so that the new line is noted once
  StudyLogEntry entry;
  entry.time = host_.Now();
  entry.baseName = DecodeCp932(event.baseName);
  entry.dateField = DecodeCp932(EventDateField(event.line));
  entry.eventText = DecodeCp932(EventTextField(event.line));
  entry.answer = std::string(typed);
  entry.right = right;
  entry.levelBefore = outcome.levelBefore;
  entry.levelAfter = outcome.levelAfter;
  if (std::optional<std::string> problem = AppendStudyLog(host_.StudyLogPath(), entry)) {
    outcome.logProblem = *problem;
  }
  log_->Note(KeyOfEvent(event.baseName, event.line), entry.time, right);

  revealed_ = true;
  host_.RevealAnswer();
  return outcome;
}

bool SelfTest::Next() {
  if (over()) return false;
  ++index_;
  revealed_ = false;
  if (over()) return false;
  ShowCurrent();
  return true;
}

void SelfTest::End() {
  if (asking()) host_.RevealAnswer();
  index_ = questions_.size();
  revealed_ = false;
}

std::vector<int> SelfTest::changedSlots() const {
  std::vector<int> slots = touched_;
  std::sort(slots.begin(), slots.end());
  return slots;
}

StudyRecord SelfTest::Statistics() {
  StudyRecord record;
  const Askable pool = AskablePool();
  for (StudySlot& slot : host_.LoadedSlots()) {
    std::array<int, 5> levels{};
    int events = 0;
    for (const PoolEvent& e : pool.events) {
      if (e.id.slot != slot.slot) continue;
      ++levels[static_cast<std::size_t>(LevelOfDigit(e.memorisation) - 1)];
      ++events;
    }
    // A file switched off or filtered out has nothing on the line.
    if (events > 0) record.files.push_back({std::move(slot.title), levels});
  }
  record.events = static_cast<int>(pool.events.size());
  const int today = DayNumber(host_.Now());
  record.due = CountDue(ScheduleOf(pool), today);
  record.days = AnswersPerDay(log(), pool.keys, today);
  return record;
}

std::optional<int> SelfTest::NextDueDay() {
  return qev::NextDueDay(ScheduleOf(AskablePool()), DayNumber(host_.Now()));
}

}  // namespace qev
