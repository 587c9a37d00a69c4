#include "study/study_time.h"

#include <cstdio>

namespace qev {

// Days from civil (proleptic Gregorian), H. Hinnant's algorithm.
int DayNumber(int year, int month, int day) {
  const int y = year - (month <= 2 ? 1 : 0);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

std::int64_t Moment(const LocalTime& t) {
  return static_cast<std::int64_t>(DayNumber(t)) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

int DayOfMoment(std::int64_t moment) {
  constexpr std::int64_t kSecondsPerDay = 86400;
  return static_cast<int>(moment >= 0 ? moment / kSecondsPerDay
                                      : (moment - kSecondsPerDay + 1) / kSecondsPerDay);
}

LocalTime DateOfDay(int dayNumber) {
  const int z = dayNumber + 719468;
  const int era = (z >= 0 ? z : z - 146096) / 146097;
  const int doe = z - era * 146097;
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  LocalTime t;
  t.day = doy - (153 * mp + 2) / 5 + 1;
  t.month = mp < 10 ? mp + 3 : mp - 9;
  t.year = yoe + era * 400 + (t.month <= 2 ? 1 : 0);
  return t;
}

std::string IsoDateTime(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

std::optional<LocalTime> ParseIsoDateTime(std::string_view text) {
  // Exactly "YYYY-MM-DDTHH:MM:SS".
  if (text.size() != 19) return std::nullopt;
  auto number = [&](std::size_t pos, std::size_t n) {
    int v = 0;
    for (std::size_t i = pos; i < pos + n; ++i) {
      if (text[i] < '0' || text[i] > '9') return -1;
      v = v * 10 + (text[i] - '0');
    }
    return v;
  };
  if (text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':') {
    return std::nullopt;
  }
  LocalTime t{number(0, 4),  number(5, 2),  number(8, 2),
              number(11, 2), number(14, 2), number(17, 2)};
  if (t.year < 1 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour < 0 ||
      t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 60) {
    return std::nullopt;
  }
  return t;
}

std::string JapaneseDate(const LocalTime& t) {
  return std::to_string(t.year) + "年" + std::to_string(t.month) + "月" + std::to_string(t.day) +
         "日";
}

}  // namespace qev
