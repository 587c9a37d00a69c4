#include "study/place_question.h"

#include "events/event_line.h"
#include "study/event_key.h"
#include "study/year_grade.h"
#include "study/year_question.h"
#include "text/cp932.h"
#include "timeline/date_text.h"

namespace qev {

std::string_view PlaceQuestion::name() const {
  return "位置";
}

bool PlaceQuestion::Asks(std::string_view line) const {
  return FirstDate(line).has_value();
}

Question PlaceQuestion::Make(const StudyEvent& asked, EventPool& /*pool*/) const {
  return {{asked}, {}};
}

std::string PlaceQuestion::Prompt(const Question& question) const {
  if (question.events.empty()) return {};
  const std::string_view event = EventTextField(question.events.front().line);
  return DecodeCp932(event.starts_with('*') ? event.substr(1) : event);
}

std::string PlaceQuestion::Hint(const Question& question) const {
  if (question.events.empty()) return {};
  return EventHint(question.events.front().line);
}

namespace {

std::string YearText(const EraYear& year) {
  return (year.bc ? "BC" : "AD") + std::to_string(year.year);
}

}  // namespace

std::vector<QuestionMarks::Label> PlaceQuestion::Marks(const Question& question,
                                                       const KindAnswer& answer) const {
  if (question.events.empty()) return {};
  const EventFields event = ParseEvent(question.events.front().line);
  std::vector<QuestionMarks::Label> marks;
  if (event.first) {
    marks.push_back({*event.first, EncodeCp932("正 ").bytes + EventDateText(event)});
  }
  if (const auto* place = std::get_if<LinePlace>(&answer)) {
    const std::optional<int> off = YearsOff(event, place->year);
    marks.push_back({place->year, EncodeCp932("クリック " + YearText(place->year) +
                                              (off ? " (" + std::to_string(*off) + "年差)" : ""))
                                      .bytes});
  }
  return marks;
}

std::optional<Graded> PlaceQuestion::Judge(const Question& question, const KindAnswer& answer,
                                           bool hintShown) const {
  const auto* place = std::get_if<LinePlace>(&answer);
  if (!place || question.events.empty()) return std::nullopt;
  const EventFields event = ParseEvent(question.events.front().line);
  const Grade grade = GradeYear(event, place->year, hintShown, place->yearsPerPixel);
  const std::optional<int> off = YearsOff(event, place->year);
  const std::string year = YearText(place->year);
  return Graded{grade == Grade::kAgain ? AnswerVerdict::kWrong : AnswerVerdict::kRight,
                grade,
                year + (off ? " (" + std::to_string(*off) + "年差)" : std::string()),
                {}};
}

}  // namespace qev
