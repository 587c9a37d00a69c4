#include "events/event_line.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "text/byte_fields.h"
#include "text/cp932.h"

namespace qev {
namespace {

const std::string kLongHead(230, 'A');
// Commas only after byte 256: no second date is read from them.
const std::string kLateCommas = "AD0794;3;" + std::string(250, 'x') + ",a,AD0800,;e;;;";

TEST(EventLine, OddLinesParseIntoTheirParts) {
  const struct {
    std::string line;
    std::array<std::string_view, 6> fields;  // dateField, levelsField, period .. memo2
    bool firstAbout;
    bool secondAbout;
    std::string_view head;
    std::string_view secondDate;
    char importance;
    char memorisation;
    std::optional<EraYear> first;
    std::optional<EraYear> second;
    std::array<std::string_view, 3> levelParts;
  } cases[] = {
      {"AD0710;3,1,AD0794,;*奈良;*平城京;m1;m2;"_sj,
       {"AD0710", "3,1,AD0794,", "奈良"_sj, "平城京"_sj, "m1", "m2"},
       true,
       true,
       "AD0710",
       "AD0794",
       '3',
       '1',
       EraYear{false, 710},
       EraYear{false, 794},
       {"3", "1", "AD0794"}},
      {"BC0091;2,2,,;p;e;;;extra",
       {"BC0091", "2,2,,", "p", "e", "", ""},
       false,
       false,
       "BC0091",
       "",
       '2',
       '2',
       EraYear{true, 91},
       std::nullopt,
       {"2", "2", ""}},
      // Fields missing at the end, and no ";" at all. Without a third ","
      // the second date text runs on to the end of the line.
      {"AD0794;3,1,;period",
       {"AD0794", "3,1,", "period", "", "", ""},
       false,
       false,
       "AD0794",
       ";period",
       '3',
       '1',
       EraYear{false, 794},
       std::nullopt,
       {"3", "1", ""}},
      {"AD0794",
       {"AD0794", "", "", "", "", ""},
       false,
       false,
       "AD0794",
       "",
       '\0',
       '\0',
       EraYear{false, 794},
       std::nullopt,
       {"", "", ""}},
      {"", {}, false, false, "", "", '\0', '\0', std::nullopt, std::nullopt, {}},
      // A short level field: byte 9 is then part of the period; the commas of
      // the period still give a second date, as the point list reads it.
      {"AD0794;3;p,x,AD0800,;e;;;",
       {"AD0794", "3", "p,x,AD0800,", "e", "", ""},
       false,
       false,
       "AD0794",
       "AD0800",
       '3',
       'p',
       EraYear{false, 794},
       EraYear{false, 800},
       {"3", "", ""}},
      // A short year: no date, the level bytes where they fall.
      {"AD79;3,1,;p;e;;;",
       {"AD79", "3,1,", "p", "e", "", ""},
       false,
       false,
       "AD79",
       ";p;e;;;",
       '1',
       ';',
       std::nullopt,
       std::nullopt,
       {"3", "1", ""}},
      // Invalid bytes, a lead byte cut by its ";", marks only at the start,
      // a mark alone.
      {"AD0794;3,1,;\x81;\xff*e;\x82;;",
       {"AD0794", "3,1,", "\x81", "\xff*e", "\x82", ""},
       false,
       false,
       "AD0794",
       ";\x81;\xff*e;\x82;;",
       '3',
       '1',
       EraYear{false, 794},
       std::nullopt,
       {"3", "1", ""}},
      {"AD0794;3,1,;*;*;*m;;",
       {"AD0794", "3,1,", "", "", "*m", ""},
       true,
       true,
       "AD0794",
       ";*;*;*m;;",
       '3',
       '1',
       EraYear{false, 794},
       std::nullopt,
       {"3", "1", ""}},
      {"AD0794;3,1,BC0100;*p;e;;;",
       {"AD0794", "3,1,BC0100", "p", "e", "", ""},
       false,
       true,
       "AD0794",
       "BC0100;*p;e;;;",
       '3',
       '1',
       EraYear{false, 794},
       EraYear{true, 100},
       {"3", "1", "BC0100"}},
      // The head is read in its first 201 bytes only.
      {kLongHead + ";3,1,;p;e;;;",
       {kLongHead, "3,1,", "p", "e", "", ""},
       false,
       false,
       std::string_view(kLongHead).substr(0, 201),
       ";p;e;;;",
       'A',
       'A',
       std::nullopt,
       std::nullopt,
       {"3", "1", ""}},
      {kLateCommas,
       {"AD0794", "3", std::string_view(kLateCommas).substr(9, 260), "e", "", ""},
       false,
       false,
       "AD0794",
       "",
       '3',
       'x',
       EraYear{false, 794},
       std::nullopt,
       {"3", "", ""}},
  };
  for (const auto& c : cases) {
    const EventFields e = ParseEvent(c.line);
    const std::array<std::string_view, 6> fields{e.dateField, e.levelsField, e.period,
                                                 e.event,     e.memo1,       e.memo2};
    EXPECT_EQ(fields, c.fields) << c.line;
    EXPECT_EQ(e.firstApproximate, c.firstAbout) << c.line;
    EXPECT_EQ(e.secondApproximate, c.secondAbout) << c.line;
    EXPECT_EQ(e.head, c.head) << c.line;
    EXPECT_EQ(e.secondDate, c.secondDate) << c.line;
    EXPECT_EQ(e.importance, c.importance) << c.line;
    EXPECT_EQ(e.memorisation, c.memorisation) << c.line;
    EXPECT_EQ(e.first, c.first) << c.line;
    EXPECT_EQ(e.second, c.second) << c.line;
    EXPECT_EQ(e.LevelParts(), c.levelParts) << c.line;
  }
}

// Every prefix of a line, however it is cut, reads as the fields split at
// ";", the head and second date the point list reads, and the bytes at the
// level positions.
TEST(EventLine, EveryPrefixReadsAsItsFields) {
  for (const Sjis& full :
       {"AD0710;3,1,AD0794,;*奈良;*平城京;メモ;m2;"_sj, Sjis("BC0091;2,\x81,;\x81;*;;\xff;x")}) {
    for (std::size_t n = 0; n <= full.size(); ++n) {
      const std::string_view line = std::string_view(full).substr(0, n);
      const EventFields e = ParseEvent(line);
      const auto unmarked = [&](int i) {
        const std::string_view f = Field(line, ';', i);
        return ByteAt(f, 0) == '*' ? f.substr(1) : f;
      };
      EXPECT_EQ(e.dateField, Field(line, ';', 0)) << n;
      EXPECT_EQ(e.levelsField, Field(line, ';', 1)) << n;
      EXPECT_EQ(e.period, unmarked(2)) << n;
      EXPECT_EQ(e.event, unmarked(3)) << n;
      EXPECT_EQ(e.memo1, Field(line, ';', 4)) << n;
      EXPECT_EQ(e.memo2, Field(line, ';', 5)) << n;
      EXPECT_EQ(e.secondApproximate, ByteAt(Field(line, ';', 2), 0) == '*') << n;
      EXPECT_EQ(e.firstApproximate, ByteAt(Field(line, ';', 3), 0) == '*') << n;
      EXPECT_EQ(e.head, EventHead(line)) << n;
      EXPECT_EQ(e.secondDate, SecondDateText(line)) << n;
      EXPECT_EQ(e.importance, ByteAt(line, 7)) << n;
      EXPECT_EQ(e.memorisation, ByteAt(line, 9)) << n;
    }
  }
}

}  // namespace
}  // namespace qev
