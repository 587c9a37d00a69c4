#include "study/round.h"

#include <algorithm>

#include "events/event_line.h"
#include "study/event_key.h"
#include "study/study_log.h"
#include "study/study_time.h"
#include "text/byte_fields.h"
#include "timeline/date_text.h"

namespace qev {
namespace {

int LevelOf(std::string_view line) {
  return LevelOfDigit(ByteAt(line, kMemorisationPos));
}

// The host's pool with the learner's confusions from the log.
class PoolWithConfusions final : public EventPool {
 public:
  PoolWithConfusions(EventPool& pool, const ReviewHistory& history)
      : pool_(pool), history_(history) {}
  const std::vector<TimelinePoint>& PoolPoints() override { return pool_.PoolPoints(); }
  std::vector<std::optional<PoolLine>> LinesOf(
      std::span<const TimelinePoint* const> points) override {
    return pool_.LinesOf(points);
  }
  std::vector<std::uint64_t> ConfusedWith(std::uint64_t event) override {
    return history_.ConfusedWith(event);
  }

 private:
  EventPool& pool_;
  const ReviewHistory& history_;
};

}  // namespace

Round::Round(RoundHost& host, const StudyRegistry& registry)
    : host_(host),
      allKinds_(registry.kinds()),
      kinds_(allKinds_),
      scheduler_(registry.schedulers().front()) {}

void Round::AskKinds(const std::vector<const QuestionKind*>& ticked) {
  kinds_.clear();
  for (const QuestionKind* kind : allKinds_) {
    if (std::find(ticked.begin(), ticked.end(), kind) != ticked.end()) kinds_.push_back(kind);
  }
  if (kinds_.empty()) kinds_ = allKinds_;
}

std::optional<StudyEvent> Round::EventOfYear(const EraYear& year, EventId asked) {
  const std::vector<TimelinePoint>& points = host_.PoolPoints();
  for (std::size_t next = 0; next < points.size();) {
    std::vector<const TimelinePoint*> batch;
    for (; next < points.size() && batch.size() < CardPool::kBatch; ++next) {
      if (points[next].id() != asked) batch.push_back(&points[next]);
    }
    const std::vector<std::optional<PoolLine>> lines = host_.LinesOf(batch);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (lines[i] && FirstDate(lines[i]->line) == year) {
        return StudyEvent{batch[i]->id(), Sjis(lines[i]->baseName), Sjis(lines[i]->line)};
      }
    }
  }
  return std::nullopt;
}

const ReviewHistory& Round::history() {
  if (!history_) history_ = ReviewHistory::Read(host_.StudyLogPath());
  return *history_;
}

CardPool Round::Pool() {
  return CardPool(host_, history(), kinds_);
}

Round::Start Round::StartRound(int n) {
  CardPool pool = Pool();
  const std::vector<Card> cards =
      scheduler_->PlanRound(pool, host_.Now(), std::clamp(n, kMinRoundSize, kMaxRoundSize));
  if (cards.empty()) {
    questions_.clear();
    index_ = 0;
    return pool.Any() ? Start::kNothingDue : Start::kEmptyPool;
  }
  return Begin(cards);
}

Round::Start Round::StartAnyway(int n) {
  CardPool pool = Pool();
  const std::vector<Card> cards =
      scheduler_->PlanAnyway(pool, host_.Now(), std::clamp(n, kMinRoundSize, kMaxRoundSize));
  if (cards.empty()) return Start::kEmptyPool;
  return Begin(cards);
}

Round::Start Round::Begin(const std::vector<Card>& cards) {
  questions_.clear();
  PoolWithConfusions pool(host_, history());
  for (const Card& card : cards) {
    const StudyEvent asked{card.event.id, Sjis(card.event.baseName), Sjis(card.event.line)};
    // Where a kind finds no question for the event (no companions on the
    // line), its year is asked instead.
    const QuestionKind* kind = card.kind;
    Question question = kind->Make(asked, pool);
    if (question.events.empty()) {
      kind = allKinds_.front();
      question = kind->Make(asked, pool);
    }
    if (!question.events.empty()) questions_.push_back({std::move(question), kind});
  }
  if (questions_.empty()) return Start::kEmptyPool;
  index_ = 0;
  revealed_ = false;
  summary_ = {};
  touched_.clear();
  ShowCurrent();
  return Start::kRound;
}

void Round::ShowCurrent() {
  if (over()) return;
  const Asked& asked = questions_[index_];
  host_.ShowQuestion(asked.question.events.front().id, asked.kind->Conceals());
  hintShown_ = false;
  shownAt_ = host_.Now();
}

const StudyEvent* Round::current() const {
  return index_ < questions_.size() ? &questions_[index_].question.events.front() : nullptr;
}

const Question* Round::question() const {
  return index_ < questions_.size() ? &questions_[index_].question : nullptr;
}

const QuestionKind* Round::kind() const {
  return index_ < questions_.size() ? questions_[index_].kind : nullptr;
}

AnswerOutcome Round::Answer(const KindAnswer& answer) {
  if (!asking()) return {};
  Asked& asked = questions_[index_];
  for (StudyEvent& event : asked.question.events) {
    if (const std::optional<Sjis> line = host_.EventLine(event.id)) event.line = *line;
  }
  const std::optional<Graded> graded = asked.kind->Judge(asked.question, answer, hintShown_);
  if (!graded) return {};
  std::optional<StudyEvent> confused;
  if (graded->wrongYear)
    confused = EventOfYear(*graded->wrongYear, asked.question.events.front().id);
  AnswerOutcome outcome = Record(*graded, confused);
  if (confused) {
    const std::string_view text = EventTextField(confused->line);
    outcome.confusion = graded->logged + " は『" +
                        DecodeCp932(text.starts_with('*') ? text.substr(1) : text) + "』の年です";
  }
  host_.RevealAnswer(asked.kind->Marks(asked.question, answer));
  return outcome;
}

AnswerOutcome Round::GiveUp() {
  if (!asking()) return {};
  AnswerOutcome outcome = Record({AnswerVerdict::kWrong, Grade::kAgain, "", {}}, std::nullopt);
  host_.RevealAnswer(kind()->Marks(*question(), KindAnswer{}));
  return outcome;
}

std::string Round::ShowHint() {
  if (!asking()) return {};
  hintShown_ = true;
  return kind()->Hint(*question());
}

AnswerOutcome Round::Record(const Graded& graded, const std::optional<StudyEvent>& confused) {
  Asked& asked = questions_[index_];
  StudyEvent& event = asked.question.events.front();
  const bool right = graded.verdict == AnswerVerdict::kRight;
  const LocalTime now = host_.Now();
  const CardKey key = KeyOfCard(KeyOfEvent(event.baseName, event.line), asked.kind->name());
  const ReviewHistory& reviews = history();  // read before the append, so that it is noted once
  const Card card{{event.id, event.baseName, event.line, ByteAt(event.line, kMemorisationPos)},
                  asked.kind,
                  key,
                  reviews.Card(key, reviews.LastAnswered(key))};

  AnswerOutcome outcome;
  outcome.verdict = graded.verdict;
  outcome.levelBefore = LevelOf(event.line);
  const int wanted = scheduler_->LevelAfter(card, graded.grade, now);
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

  StudyLogEntry entry;
  entry.time = now;
  entry.baseName = DecodeCp932(event.baseName);
  entry.dateField = DecodeCp932(EventDateField(event.line));
  entry.eventText = DecodeCp932(EventTextField(event.line));
  entry.answer = graded.logged;
  entry.right = right;
  entry.levelBefore = outcome.levelBefore;
  entry.levelAfter = outcome.levelAfter;
  entry.kind = std::string(asked.kind->name());
  entry.grade = graded.grade;
  entry.hint = hintShown_;
  entry.seconds = static_cast<int>(std::max<std::int64_t>(Moment(now) - Moment(shownAt_), 0));
  if (confused) entry.confusedWith = KeyOfEvent(confused->baseName, confused->line);
  if (std::optional<std::string> problem = AppendStudyLog(host_.StudyLogPath(), entry)) {
    outcome.logProblem = *problem;
  }
  history_->Note(key, {Moment(now), entry.seconds, graded.grade, right, hintShown_});
  if (entry.confusedWith)
    history_->NoteConfusion(KeyOfEvent(event.baseName, event.line), *entry.confusedWith);

  revealed_ = true;
  return outcome;
}

bool Round::Next() {
  if (over()) return false;
  ++index_;
  revealed_ = false;
  if (over()) return false;
  ShowCurrent();
  return true;
}

void Round::End() {
  host_.LeaveQuestion();
  index_ = questions_.size();
  revealed_ = false;
}

std::vector<int> Round::changedSlots() const {
  std::vector<int> slots = touched_;
  std::sort(slots.begin(), slots.end());
  return slots;
}

StudyRecord Round::Statistics() {
  StudyRecord record;
  const LocalTime now = host_.Now();
  CardPool pool = Pool();
  const std::vector<Card> cards = pool.All();
  for (StudySlot& slot : host_.LoadedSlots()) {
    std::array<int, 5> levels{};
    int events = 0;
    // An event's cards lie together: each event is counted once.
    for (std::size_t i = 0; i < cards.size(); ++i) {
      const Card& card = cards[i];
      if (card.event.id.slot != slot.slot || (i > 0 && cards[i - 1].event.id == card.event.id)) {
        continue;
      }
      ++levels[static_cast<std::size_t>(card.level() - 1)];
      ++events;
    }
    // A file switched off or filtered out has nothing on the line.
    if (events > 0) record.files.push_back({std::move(slot.title), levels});
  }
  record.events = 0;
  for (const StudyRecord::File& file : record.files) {
    for (const int n : file.levels) record.events += n;
  }
  std::vector<int> due;
  std::vector<Review> reviews;
  for (const Card& card : cards) {
    due.push_back(scheduler_->DueDay(card, now));
    const std::vector<Review> answers = card.history.reviews();
    reviews.insert(reviews.end(), answers.begin(), answers.end());
  }
  record.due = CountDue(due, DayNumber(now));
  record.days = AnswersPerDay(reviews, DayNumber(now));
  return record;
}

std::optional<int> Round::NextDueDay() {
  const LocalTime now = host_.Now();
  const int today = DayNumber(now);
  CardPool pool = Pool();
  std::optional<int> next;
  for (const Card& card : pool.All()) {
    const int day = std::max(scheduler_->DueDay(card, now), today);
    if (!next || day < *next) next = day;
  }
  return next;
}

}  // namespace qev
