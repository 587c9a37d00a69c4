#include "timeline/date_text.h"

#include "timeline/point_display.h"

namespace qev {

Sjis SecondDateShown(std::string_view field) {
  Sjis date;
  for (char c : field) {
    if (c != ' ') date.push_back(c);
  }
  BlankYearZeros(date);
  return date;
}

Sjis DateRangeText(std::string_view first, std::string_view second, bool firstAbout,
                   bool secondAbout) {
  const Sjis& about = " ころ"_sj;
  Sjis text(first);
  if (firstAbout) text += about;
  if (second.empty() && !secondAbout) return text;
  if (!second.empty() && !firstAbout && !secondAbout) {
    text += " 　～ 　"_sj;
  } else {
    text += !second.empty() && firstAbout && secondAbout ? "　 ～ 　"_sj : " 　～　 "_sj;
  }
  text += second;
  if (!second.empty() && secondAbout) text += about;
  return text;
}

Sjis EventDateText(const EventFields& event) {
  Sjis first(event.head);
  BlankYearZeros(first);
  return DateRangeText(first, SecondDateShown(event.secondDate), event.firstApproximate,
                       event.secondApproximate);
}

Sjis EventDateText(std::string_view line) {
  return EventDateText(ParseEvent(line));
}

}  // namespace qev
