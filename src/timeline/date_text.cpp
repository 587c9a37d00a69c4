#include "timeline/date_text.h"

#include "events/event_date.h"
#include "events/event_line.h"
#include "text/byte_fields.h"
#include "timeline/point_display.h"

namespace qev {

Sjis EventDateText(std::string_view line) {
  Sjis first(EventHead(line));
  BlankYearZeros(first);
  Sjis second;
  for (char c : SecondDateText(line)) {
    if (c != ' ') second.push_back(c);
  }
  BlankYearZeros(second);
  const bool firstAbout = FirstDateApproximate(line);
  const bool secondAbout = SecondDateApproximate(line);

  Sjis text = first;
  if (firstAbout) text += " ころ"_sj;
  if (second.empty() && !secondAbout) return text;
  if (!second.empty() && !firstAbout && !secondAbout) return text + " 　～ 　"_sj + second;
  text += !second.empty() && firstAbout && secondAbout ? "　 ～ 　"_sj : " 　～　 "_sj;
  text += second;
  if (!second.empty() && secondAbout) text += " ころ"_sj;
  return text;
}

}  // namespace qev
