#include "state/clock.h"

#include <cstdio>

namespace qev {

namespace {

void AppendNumber(Sjis& out, int value, int width) {
  char digits[16];
  int n = std::snprintf(digits, sizeof digits, "%0*d", width, value);
  out.append(digits, static_cast<std::size_t>(n));
}

}  // namespace

Sjis FormatClockText(const LocalTime& time) {
  Sjis text;
  AppendNumber(text, time.year, 1);
  text += "年"_sj;
  AppendNumber(text, time.month, 2);
  text += "月"_sj;
  AppendNumber(text, time.day, 2);
  text += "日"_sj;
  AppendNumber(text, time.hour, 2);
  text += "時"_sj;
  AppendNumber(text, time.minute, 2);
  text += "分"_sj;
  return text;
}

}  // namespace qev
