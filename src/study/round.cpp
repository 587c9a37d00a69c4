#include "study/round.h"

#include <algorithm>

#include "events/event_line.h"
#include "study/event_key.h"
#include "study/memory_parameters.h"
#include "study/study_log.h"
#include "study/study_time.h"
#include "text/byte_fields.h"
#include "timeline/date_text.h"

namespace qev {
namespace {

int LevelOf(std::string_view line) {
  return LevelOfDigit(ByteAt(line, kMemorisationPos));
}

// A round asks a card missed at most this many times more.
constexpr int kMaxAgain = 3;

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

Round::Round(RoundHost& host, const StudyRegistry& registry)
    : host_(host),
      allKinds_(registry.kinds()),
      kinds_(allKinds_),
      scheduler_(registry.schedulers().front()),
      memories_(ReadMemoryParameters(ParametersPath())) {}

Round::~Round() {
  Commit();
}

std::filesystem::path Round::ParametersPath() {
  return host_.StudyLogPath().parent_path() / kMemoryParametersName;
}

void Round::SetGoals(const StudyGoals& goals) {
  goals_.retention = std::clamp(goals.retention, kMinRetention, kMaxRetention);
  goals_.newPerDay = std::clamp(goals.newPerDay, 0, kMaxNewPerDay);
}

const ReviewHistory& Round::history() {
  if (!history_) history_ = ReviewHistory::Read(host_.StudyLogPath());
  return *history_;
}

CardPool Round::Pool() {
  return CardPool(host_, history(), kinds_, &rows_);
}

Schedule Round::At() {
  return {host_.Now(), goals_, memories_};
}

DueCount Round::Count() {
  CardPool pool = Pool();
  return scheduler_->Count(pool, At());
}

Round::Start Round::StartRound(int n) {
  Commit();
  CardPool pool = Pool();
  const std::vector<Card> cards =
      scheduler_->PlanRound(pool, At(), std::clamp(n, kMinRoundSize, kMaxRoundSize));
  if (cards.empty()) {
    questions_.clear();
    index_ = 0;
    return pool.Any() ? Start::kNothingDue : Start::kEmptyPool;
  }
  return Begin(cards);
}

Round::Start Round::StartAnyway(int n) {
  Commit();
  CardPool pool = Pool();
  const std::vector<Card> cards =
      scheduler_->PlanAnyway(pool, At(), std::clamp(n, kMinRoundSize, kMaxRoundSize));
  if (cards.empty()) return Start::kEmptyPool;
  return Begin(cards);
}

Round::Start Round::RetryMisses() {
  Commit();
  if (missed_.empty()) return Start::kEmptyPool;
  std::vector<Asked> asked = std::move(missed_);
  for (Asked& a : asked) {
    a.again = 0;
    for (StudyEvent& event : a.question.events) {
      if (const std::optional<Sjis> line = host_.EventLine(event.id)) event.line = *line;
    }
  }
  return Begin(std::move(asked));
}

Round::Start Round::Begin(const std::vector<Card>& cards) {
  std::vector<Asked> asked;
  PoolWithConfusions pool(host_, history());
  for (const Card& card : cards) {
    const StudyEvent event{card.event.id, Sjis(card.event.baseName), Sjis(card.event.line)};
    // Where a kind finds no question for the event (no companions on the
    // line), its year is asked instead.
    const QuestionKind* kind = card.kind;
    Question question = kind->Make(event, pool);
    if (question.events.empty()) {
      kind = allKinds_.front();
      question = kind->Make(event, pool);
    }
    if (!question.events.empty()) asked.push_back({std::move(question), kind});
  }
  if (asked.empty()) return Start::kEmptyPool;
  return Begin(std::move(asked));
}

Round::Start Round::Begin(std::vector<Asked> asked) {
  questions_ = std::move(asked);
  index_ = 0;
  revealed_ = false;
  summary_ = {};
  touched_.clear();
  misses_.clear();
  missed_.clear();
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
  if (graded->wrongYear) {
    confused = EventOfYear(*graded->wrongYear, asked.question.events.front().id);
  }
  return Record(*graded, answer, std::move(confused));
}

AnswerOutcome Round::GiveUp() {
  if (!asking()) return {};
  return Record({AnswerVerdict::kWrong, Grade::kAgain, "", {}}, KindAnswer{}, std::nullopt);
}

std::string Round::ShowHint() {
  if (!asking()) return {};
  hintShown_ = true;
  return kind()->Hint(*question());
}

AnswerOutcome Round::Record(const Graded& graded, const KindAnswer& answer,
                            std::optional<StudyEvent> confused) {
  Open open;
  open.graded = graded;
  open.at = host_.Now();
  open.hint = hintShown_;
  open.seconds = static_cast<int>(std::max<std::int64_t>(Moment(open.at) - Moment(shownAt_), 0));
  open.outcome.verdict = graded.verdict;
  Predict(open);
  const Asked& asked = questions_[index_];
  open.outcome.dateText = EventDateText(asked.question.events.front().line);
  if (confused) {
    const std::string_view text = EventTextField(confused->line);
    open.outcome.confusion = graded.logged + " は『" +
                             DecodeCp932(text.starts_with('*') ? text.substr(1) : text) +
                             "』の年です";
  }
  open.confused = std::move(confused);
  open_ = open;
  revealed_ = true;
  host_.RevealAnswer(asked.kind->Marks(asked.question, answer));
  return open.outcome;
}

void Round::Predict(Open& open) {
  const Asked& asked = questions_[index_];
  const StudyEvent& event = asked.question.events.front();
  const CardKey key = KeyOfCard(KeyOfEvent(event.baseName, event.line), asked.kind->name());
  const ReviewHistory& reviews = history();
  const Card card{{event.id, event.baseName, event.line, ByteAt(event.line, kMemorisationPos)},
                  asked.kind,
                  key,
                  reviews.Card(key, reviews.LastAnswered(key))};
  open.outcome.levelBefore = LevelOf(event.line);
  open.outcome.levelAfter =
      asked.kind->SetsMemorisationLevel()
          ? scheduler_->LevelAfter(card, open.graded.grade, {open.at, goals_, memories_})
          : open.outcome.levelBefore;
}

bool Round::easyOffered() const {
  return open_ && open_->graded.verdict == AnswerVerdict::kRight &&
         open_->graded.grade != Grade::kEasy;
}

std::optional<AnswerOutcome> Round::MarkEasy() {
  if (!easyOffered()) return std::nullopt;
  open_->graded.grade = Grade::kEasy;
  Predict(*open_);
  return open_->outcome;
}

void Round::Commit() {
  if (!open_ || index_ >= questions_.size()) {
    open_.reset();
    return;
  }
  Open open = std::move(*open_);
  open_.reset();
  StudyEvent& event = questions_[index_].question.events.front();
  const QuestionKind* kind = questions_[index_].kind;
  const bool right = open.graded.verdict == AnswerVerdict::kRight;
  const CardKey key = KeyOfCard(KeyOfEvent(event.baseName, event.line), kind->name());
  AnswerOutcome& outcome = open.outcome;
  const int wanted = outcome.levelAfter;
  outcome.levelAfter = outcome.levelBefore;
  if (wanted != outcome.levelBefore && host_.SetMemorisationLevel(event.id, wanted)) {
    outcome.levelAfter = wanted;
    if (std::find(touched_.begin(), touched_.end(), event.id.slot) == touched_.end()) {
      touched_.push_back(event.id.slot);
    }
  }

  ++summary_.questions;
  ++(right ? summary_.right : summary_.wrong);
  if (outcome.levelAfter > outcome.levelBefore) ++summary_.levelsUp;
  if (outcome.levelAfter < outcome.levelBefore) ++summary_.levelsDown;

  StudyLogEntry entry;
  entry.time = open.at;
  entry.baseName = DecodeCp932(event.baseName);
  entry.dateField = DecodeCp932(EventDateField(event.line));
  entry.eventText = DecodeCp932(EventTextField(event.line));
  entry.answer = open.graded.logged;
  entry.right = right;
  entry.levelBefore = outcome.levelBefore;
  entry.levelAfter = outcome.levelAfter;
  entry.kind = std::string(kind->name());
  entry.grade = open.graded.grade;
  entry.hint = open.hint;
  entry.seconds = open.seconds;
  if (open.confused) entry.confusedWith = KeyOfEvent(open.confused->baseName, open.confused->line);
  logProblem_ = AppendStudyLog(host_.StudyLogPath(), entry).value_or("");
  history();
  history_->Note(key, {Moment(open.at), entry.seconds, open.graded.grade, right, open.hint});
  if (entry.confusedWith) {
    history_->NoteConfusion(KeyOfEvent(event.baseName, event.line), *entry.confusedWith);
  }
  if (const std::optional<Sjis> line = host_.EventLine(event.id)) event.line = *line;

  if (open.graded.grade != Grade::kAgain) return;
  const bool listed = std::any_of(misses_.begin(), misses_.end(),
                                  [&](const RoundMiss& miss) { return miss.event.id == event.id; });
  if (!listed) {
    misses_.push_back({event, outcome.dateText});
    missed_.push_back(questions_[index_]);
  }
  // Asked again at the end of the round, as a learning step.
  if (questions_[index_].again < kMaxAgain) {
    Asked again = questions_[index_];
    ++again.again;
    questions_.push_back(std::move(again));
  }
}

bool Round::Next() {
  if (over()) return false;
  Commit();
  ++index_;
  revealed_ = false;
  if (over()) return false;
  ShowCurrent();
  return true;
}

void Round::Finish() {
  Commit();
}

void Round::End() {
  Commit();
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
  // One moment for every card: the clock is read once, not per card.
  const Schedule at = At();
  const int today = DayNumber(at.now);
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
  due.reserve(cards.size());
  std::vector<Review> reviews;
  MemoryLog log;
  for (const Card& card : cards) {
    // A card never answered is new, not a review due.
    if (!card.history.lastAnswered()) continue;
    due.push_back(scheduler_->DueDay(card, at));
    const std::vector<Review> answers = card.history.reviews();
    reviews.insert(reviews.end(), answers.begin(), answers.end());
    log.AddCard(MemoryReviewsOf(answers));
  }
  record.due = CountDue(due, today);
  record.days = AnswersPerDay(reviews, today);
  record.duePerDay = DuePerDay(due, today);
  const std::vector<RecallPrediction> predictions = PredictRecalls(log, parameters());
  record.calibration = Calibration(predictions);
  record.metrics = MetricsOf(predictions);
  return record;
}

std::vector<CardReport> Round::Cards() {
  const Schedule at = At();
  const int today = DayNumber(at.now);
  CardPool pool = Pool();
  std::vector<CardReport> reports;
  for (const Card& card : pool.All()) {
    CardReport report{Sjis(card.event.baseName),
                      Sjis(card.event.line),
                      card.kind->name(),
                      memories_.Of(card.key, card.history, goals_.retention),
                      scheduler_->DueDay(card, at),
                      0};
    if (report.state) {
      report.recall = Retrievability(today - report.state->memory.lastDay,
                                     report.state->memory.state.stability, parameters());
    }
    reports.push_back(std::move(report));
  }
  return reports;
}

std::optional<int> Round::NextDueDay() {
  CardPool pool = Pool();
  return scheduler_->NextDueDay(pool, At());
}

}  // namespace qev
