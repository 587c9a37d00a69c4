#include "timeline/date_text.h"

#include <gtest/gtest.h>

#include <string>

namespace qev {
namespace {

// Lines of CP932 text for the period and the event field.
std::string Line(std::string head, std::string second, std::string period, std::string event) {
  return head + ";3,1," + second + ",;" + period + ";" + event + ";m1;m2;";
}

TEST(DateText, AsThePanelsWriteIt) {
  const Sjis p = "奈良"_sj;
  const Sjis e = "遷都"_sj;
  const struct {
    std::string line;
    Sjis text;
  } cases[] = {
      {Line("AD0794", "", p, e), Sjis("AD 794")},
      {Line("BC0091", "", p, "*" + e), "BC  91 ころ"_sj},
      {Line("AD0710", "AD0794", p, e), "AD 710 　～ 　AD 794"_sj},
      {Line("AD0710", "AD0794", "*" + p, e), "AD 710 　～　 AD 794 ころ"_sj},
      {Line("AD0710", "AD0794", p, "*" + e), "AD 710 ころ 　～　 AD 794"_sj},
      {Line("AD0710", "AD0794", "*" + p, "*" + e), "AD 710 ころ　 ～ 　AD 794 ころ"_sj},
      {Line("AD0710", "", "*" + p, e), "AD 710 　～　 "_sj},
  };
  for (const auto& c : cases) EXPECT_EQ(EventDateText(c.line), c.text) << c.line;
}

}  // namespace
}  // namespace qev
