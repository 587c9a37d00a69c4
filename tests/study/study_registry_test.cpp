#include "study/study_registry.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "events/event_date.h"
#include "events/temp_folder.h"
#include "study/fake_round_host.h"
#include "study/round.h"
#include "study/study_time.h"

namespace qev {
namespace {

using testing::FakeRoundHost;
using testing::ReadBytes;
using testing::TempFolder;

template <typename T>
std::vector<std::string_view> Names(const std::vector<const T*>& entries) {
  std::vector<std::string_view> names;
  for (const T* entry : entries) names.push_back(entry->name());
  return names;
}

TEST(StudyRegistryTest, ListsEveryKindAndScheduler) {
  const StudyRegistry& registry = StudyRegistry::Standard();
  EXPECT_EQ(Names(registry.kinds()), (std::vector<std::string_view>{"年", "年代整序", "位置"}));
  EXPECT_EQ(Names(registry.schedulers()), (std::vector<std::string_view>{"fsrs", "leitner"}));
}

// A kind that asks an event with the first other one of the pool, without
// hiding the years, answered by their order or by a click on the line.
class OrderOfTwo final : public QuestionKind {
 public:
  std::string_view name() const override { return "順"; }
  bool Asks(std::string_view line) const override { return FirstDate(line).has_value(); }
  Question Make(const StudyEvent& asked, EventPool& pool) const override {
    Question question{{asked}, {}};
    for (const TimelinePoint& point : pool.PoolPoints()) {
      if (point.id() == asked.id) continue;
      const TimelinePoint* other[] = {&point};
      const PoolLine line = *pool.LinesOf(other).front();
      question.events.push_back({point.id(), Sjis(line.baseName), Sjis(line.line)});
      break;
    }
    return question;
  }
  Concealment Conceals() const override { return {false}; }
  std::string Prompt(const Question& /*question*/) const override { return "?"; }
  std::string Hint(const Question& /*question*/) const override { return "?"; }
  bool TakesLineClicks() const override { return true; }
  bool SetsMemorisationLevel() const override { return true; }
  std::optional<Graded> Judge(const Question& question, const KindAnswer& answer,
                              bool /*hintShown*/) const override {
    if (const auto* place = std::get_if<LinePlace>(&answer)) {
      return Graded{AnswerVerdict::kRight,
                    Grade::kHard,
                    "x" + std::to_string(place->x) + "y" + std::to_string(place->y),
                    {}};
    }
    const auto& order = std::get<EventOrder>(answer).events;
    const bool right =
        FirstDate(question.events[0].line)->Signed() < FirstDate(question.events[1].line)->Signed()
            ? order.front() == question.events[0].id
            : order.front() == question.events[1].id;
    return Graded{right ? AnswerVerdict::kRight : AnswerVerdict::kWrong,
                  right ? Grade::kEasy : Grade::kAgain,
                  std::to_string(order.front().serial),
                  {}};
  }
};

// A scheduler that asks every card, the last on the line first; easy goes
// to ⑤, anything else to ②.
class LastFirst final : public Scheduler {
 public:
  std::string_view name() const override { return "last-first"; }
  int DueDay(const Card& /*card*/, const Schedule& at) const override { return DayNumber(at.now); }
  int LevelAfter(const Card& /*card*/, Grade grade, const Schedule& /*at*/) const override {
    return grade == Grade::kEasy ? 5 : 2;
  }
  std::vector<Card> PlanRound(CardPool& pool, const Schedule& /*at*/, int n) const override {
    std::vector<Card> cards = pool.All();
    std::reverse(cards.begin(), cards.end());
    cards.resize(std::min(cards.size(), static_cast<std::size_t>(n)));
    return cards;
  }
  std::vector<Card> PlanAnyway(CardPool& pool, const Schedule& at, int n) const override {
    return PlanRound(pool, at, n);
  }
  DueCount Count(CardPool& pool, const Schedule& /*at*/) const override {
    const int cards = static_cast<int>(pool.All().size());
    return {cards, 0, 0};
  }
};

TEST(StudyRegistryTest, AKindAndASchedulerInTheRegistryRunARound) {
  StudyRegistry registry;
  registry.Add(std::make_unique<OrderOfTwo>());
  registry.Add(std::make_unique<LastFirst>());
  TempFolder folder;
  FakeRoundHost host(folder / kStudyLogName);
  host.lines = {{1, Sjis("AD0794;1,1,,;p;a;m;")}, {2, Sjis("AD1192;1,1,,;p;b;m;")}};

  Round round(host, registry);
  ASSERT_EQ(round.StartRound(20), Round::Start::kRound);
  ASSERT_EQ(round.count(), 2u);
  EXPECT_EQ(round.question()->events.size(), 2u);
  EXPECT_FALSE(host.hidden);
  EXPECT_TRUE(round.takesLineClicks());
  EXPECT_EQ(round.Answer(EventOrder{{FakeRoundHost::Id(1), FakeRoundHost::Id(2)}}).levelAfter, 5);
  EXPECT_FALSE(round.takesLineClicks());
  ASSERT_TRUE(round.Next());
  EXPECT_EQ(round.Answer(LinePlace{5, 7, {}, 1}).verdict, AnswerVerdict::kRight);
  round.End();

  EXPECT_EQ(host.shown, (std::vector<std::uint64_t>{2, 1}));
  EXPECT_EQ(host.lines[1], Sjis("AD0794;1,2,,;p;a;m;"));
  EXPECT_EQ(host.lines[2], Sjis("AD1192;1,5,,;p;b;m;"));
  EXPECT_EQ(ReadBytes(folder / kStudyLogName),
            "日時,ファイル,年代,できごと,解答,正誤,記憶度(前),記憶度(後),出題形式,評価,ヒント,秒数,"
            "取り違え\n"
            "2026-12-09T09:00:00,f,AD1192,b,1,正解,1,5,順,4,0,0,\n"
            "2026-12-09T09:00:00,f,AD0794,a,x5y7,正解,1,2,順,2,0,0,\n");
  // The history follows: the next round finds the cards answered.
  EXPECT_EQ(round.history().cards(), 2u);
}

}  // namespace
}  // namespace qev
