#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "events/event_date.h"
#include "study/question_kind.h"

namespace qev {

// The six orders of I, II, III as the exam lists them, ① to ⑥: indices
// into the question's shown order.
inline constexpr std::array<std::array<std::size_t, 3>, 6> kExamOrders{
    {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}}};

// "① I→II→III" for k = 0 .. "⑥ III→II→I" for k = 5.
std::string ExamOrderText(std::size_t k);

// How far apart the three events of a question lie in years, both growing
// with the distance from the present: each at least `least` from the others,
// so that the order can be told, and the other two within `most` of the
// asked one, so that it must be known.
struct OrderGap {
  int least = 2;
  int most = 30;
};
OrderGap GapAt(const EraYear& year);

// "年代整序": three events shown as I, II, III in a shuffled order, answered
// by one of the six orders. The asked event's companions lie on the line
// close to it in time (GapAt), of years apart from it and from each other,
// those the learner has confused with it first. Right is good (hard after
// the hint), wrong again.
class OrderQuestion final : public QuestionKind {
 public:
  std::string_view name() const override;
  bool Asks(std::string_view line) const override;
  bool AfterYear() const override { return true; }
  // No question (no events) when the line has no two companions for it.
  Question Make(const StudyEvent& asked, EventPool& pool) const override;
  Concealment Conceals() const override { return {}; }
  // "I 『…』" and so on, a line each, in the shown order.
  std::string Prompt(const Question& question) const override;
  // Each event's hint (EventHint), numbered.
  std::string Hint(const Question& question) const override;
  // An EventOrder of the question's three events, earliest first.
  std::optional<Graded> Judge(const Question& question, const KindAnswer& answer,
                              bool hintShown) const override;

  // The three events, each with its numeral and date, earliest first.
  std::vector<QuestionMarks::Label> Marks(const Question& question,
                                          const KindAnswer& answer) const override;

  // The answer of choice k (0..5) to a question.
  static EventOrder Choice(const Question& question, std::size_t k);
  // The question's events (indices into `events`) earliest first.
  static std::vector<std::size_t> InTimeOrder(const Question& question);
};

}  // namespace qev
