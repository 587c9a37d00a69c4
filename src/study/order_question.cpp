#include "study/order_question.h"

#include <algorithm>
#include <cstdlib>
#include <random>

#include "events/event_line.h"
#include "study/event_key.h"
#include "study/year_grade.h"
#include "study/year_question.h"
#include "text/cp932.h"
#include "timeline/date_text.h"

namespace qev {
namespace {

constexpr std::array<std::string_view, 3> kNumerals{"I", "II", "III"};
constexpr std::array<std::string_view, 6> kCircled{"①", "②", "③", "④", "⑤", "⑥"};
// The year the distance from the present is counted from.
constexpr int kPresent = 2000;
// How many points on each side of the asked one are looked at: the
// companions lie close to it on the line.
constexpr std::size_t kScan = 2000;
constexpr std::size_t kChunk = 64;

std::mt19937& Random() {
  thread_local std::mt19937 random{std::random_device{}()};
  return random;
}

struct Candidate {
  StudyEvent event;
  EraYear year;
  int apart = 0;  // from the asked event
  bool confused = false;
};

std::optional<EraYear> YearOf(const StudyEvent& event) {
  return FirstDate(event.line);
}

}  // namespace

std::string ExamOrderText(std::size_t k) {
  std::string text(kCircled.at(k));
  text += ' ';
  for (std::size_t i = 0; i < 3; ++i) {
    if (i > 0) text += "→";
    text += kNumerals[kExamOrders.at(k)[i]];
  }
  return text;
}

OrderGap GapAt(const EraYear& year) {
  EventFields fields;
  fields.first = year;
  const int fromPresent = std::abs(kPresent - year.Signed());
  return {2 * YearTolerance(fields), std::max(30, fromPresent / 4)};
}

std::string_view OrderQuestion::name() const {
  return "年代整序";
}

bool OrderQuestion::Asks(std::string_view line) const {
  return FirstDate(line).has_value();
}

Question OrderQuestion::Make(const StudyEvent& asked, EventPool& pool) const {
  const std::optional<EraYear> year = YearOf(asked);
  if (!year) return {};
  const OrderGap gap = GapAt(*year);
  const std::vector<TimelinePoint>& points = pool.PoolPoints();
  const auto at = std::find_if(points.begin(), points.end(),
                               [&](const TimelinePoint& p) { return p.id() == asked.id; });
  if (at == points.end()) return {};
  const auto index = static_cast<std::size_t>(at - points.begin());
  const std::vector<std::uint64_t> confused =
      pool.ConfusedWith(KeyOfEvent(asked.baseName, asked.line));

  // The points on both sides of the asked one, nearest first in chunks,
  // until a side runs past twice the widest gap or the scan ends.
  std::vector<Candidate> candidates;
  for (const int side : {-1, 1}) {
    for (std::size_t step = 1; step <= kScan;) {
      std::vector<const TimelinePoint*> chunk;
      for (; chunk.size() < kChunk && step <= kScan; ++step) {
        if (side < 0 ? step > index : index + step >= points.size()) break;
        chunk.push_back(&points[side < 0 ? index - step : index + step]);
      }
      if (chunk.empty()) break;
      const std::vector<std::optional<PoolLine>> lines = pool.LinesOf(chunk);
      bool beyond = false;
      for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i]) continue;
        const std::optional<EraYear> other = FirstDate(lines[i]->line);
        if (!other) continue;
        const int apart = YearsApart(*other, *year);
        if (apart > 2 * gap.most) {
          beyond = true;
          continue;
        }
        const EventKey key = KeyOfEvent(lines[i]->baseName, lines[i]->line);
        candidates.push_back({{chunk[i]->id(), Sjis(lines[i]->baseName), Sjis(lines[i]->line)},
                              *other,
                              apart,
                              std::find(confused.begin(), confused.end(), key) != confused.end()});
      }
      if (beyond) break;
    }
  }

  // Confused events first, then those within the gap in a random order,
  // then the rest nearest first.
  std::shuffle(candidates.begin(), candidates.end(), Random());
  auto rank = [&](const Candidate& c) { return c.confused ? 0 : c.apart <= gap.most ? 1 : 2; };
  std::stable_sort(candidates.begin(), candidates.end(),
                   [&](const Candidate& a, const Candidate& b) {
                     if (rank(a) != rank(b)) return rank(a) < rank(b);
                     return rank(a) == 2 && a.apart < b.apart;
                   });
  Question question{{asked}, {}};
  std::vector<EraYear> years{*year};
  for (const Candidate& c : candidates) {
    if (question.events.size() == 3) break;
    const bool apart = std::all_of(years.begin(), years.end(), [&](const EraYear& taken) {
      return YearsApart(taken, c.year) >= gap.least;
    });
    if (!apart) continue;
    question.events.push_back(c.event);
    years.push_back(c.year);
  }
  if (question.events.size() < 3) return {};
  question.order = {0, 1, 2};
  std::shuffle(question.order.begin(), question.order.end(), Random());
  return question;
}

std::string OrderQuestion::Prompt(const Question& question) const {
  std::string text;
  for (std::size_t i = 0; i < question.order.size(); ++i) {
    if (i > 0) text += '\n';
    const std::string_view event = EventTextField(question.events[question.order[i]].line);
    text += std::string(kNumerals[i]) + " 『" +
            DecodeCp932(event.starts_with('*') ? event.substr(1) : event) + "』";
  }
  return text;
}

std::string OrderQuestion::Hint(const Question& question) const {
  std::string text;
  for (std::size_t i = 0; i < question.order.size(); ++i) {
    if (i > 0) text += '\n';
    text += std::string(kNumerals[i]) + " " + EventHint(question.events[question.order[i]].line);
  }
  return text;
}

EventOrder OrderQuestion::Choice(const Question& question, std::size_t k) {
  EventOrder order;
  if (question.order.size() != 3) return order;
  for (const std::size_t shown : kExamOrders.at(k)) {
    order.events.push_back(question.events[question.order[shown]].id);
  }
  return order;
}

std::vector<std::size_t> OrderQuestion::InTimeOrder(const Question& question) {
  std::vector<std::size_t> order(question.events.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const std::optional<EraYear> ya = YearOf(question.events[a]);
    const std::optional<EraYear> yb = YearOf(question.events[b]);
    return ya && yb && ya->Signed() < yb->Signed();
  });
  return order;
}

std::vector<QuestionMarks::Label> OrderQuestion::Marks(const Question& question,
                                                       const KindAnswer& /*answer*/) const {
  std::vector<QuestionMarks::Label> marks;
  for (const std::size_t i : InTimeOrder(question)) {
    const std::optional<EraYear> year = YearOf(question.events[i]);
    const auto shown = static_cast<std::size_t>(
        std::find(question.order.begin(), question.order.end(), i) - question.order.begin());
    if (!year || shown >= kNumerals.size()) continue;
    marks.push_back({*year, EncodeCp932(std::string(kNumerals[shown]) + " ").bytes +
                                EventDateText(question.events[i].line)});
  }
  return marks;
}

std::optional<Graded> OrderQuestion::Judge(const Question& question, const KindAnswer& answer,
                                           bool hintShown) const {
  const auto* given = std::get_if<EventOrder>(&answer);
  if (!given || question.order.size() != 3 || given->events.size() != 3) return std::nullopt;
  for (std::size_t k = 0; k < kExamOrders.size(); ++k) {
    if (Choice(question, k).events != given->events) continue;
    std::vector<std::size_t> inTime;
    for (const EventId& id : given->events) {
      for (std::size_t i = 0; i < question.events.size(); ++i) {
        if (question.events[i].id == id) inTime.push_back(i);
      }
    }
    const bool right = inTime == InTimeOrder(question);
    return Graded{right ? AnswerVerdict::kRight : AnswerVerdict::kWrong,
                  right ? (hintShown ? Grade::kHard : Grade::kGood) : Grade::kAgain,
                  ExamOrderText(k),
                  {}};
  }
  return std::nullopt;
}

}  // namespace qev
