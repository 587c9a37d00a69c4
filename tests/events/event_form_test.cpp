#include "events/event_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/cp932.h"

namespace qev {
namespace {

// A line whose memo 1 holds two bytes CP932 does not define.
Sjis Bad(std::string_view before, std::string_view after) {
  return Cp932Literal(before) + Sjis("\xA0\xFF") + Cp932Literal(after);
}

EventForm Form(EraYear first, std::string event) {
  EventForm form;
  form.first = first;
  form.event = std::move(event);
  return form;
}

TEST(EventForm, NewLinesInTheFilesFieldFormat) {
  EventForm range = Form({false, 710}, "平城京;遷都");
  range.firstApproximate = true;
  range.second = EraYear{false, 794};
  range.secondApproximate = true;
  range.period = "奈良";
  range.importance = 4;
  range.memorisation = 2;
  range.memo1 = "ａ";
  range.memo2 = "*b";
  EventForm marked = Form({true, 91}, "*印");
  marked.period = "*";
  const struct {
    EventForm form;
    Sjis line;
  } cases[] = {
      {Form({false, 794}, "平安京"), "AD0794;3,1,,;;平安京;;;"_sj},
      {range, "AD0710;4,2,AD0794,;*奈良;*平城京；遷都;ａ;*b;"_sj},
      // A typed "*" is text, never a mark: only the flags mark a date.
      {marked, "BC0091;3,1,,;＊;＊印;;;"_sj},
      {Form({false, 9999}, "a\r\nb"), "AD9999;3,1,,;;a  b;;;"_sj},
  };
  for (const auto& c : cases) {
    const ComposedLine composed = ComposeEventLine(c.form);
    ASSERT_TRUE(composed.ok()) << composed.message;
    EXPECT_EQ(composed.line, c.line) << DecodeCp932(c.line);
    EXPECT_EQ(ComposeEventLine(FormOfLine(composed.line)).line, composed.line);
  }
}

TEST(EventForm, RefusalsNameTheField) {
  EventForm badSecond = Form({false, 794}, "x");
  badSecond.second = EraYear{true, 0};
  EventForm unencodable = Form({false, 794}, "x");
  unencodable.memo1 = "😀";
  EventForm tooLong = Form({false, 794}, "x");
  tooLong.memo2 = std::string(240, 'm');
  const struct {
    EventForm form;
    FormField field;
    std::string named;
  } cases[] = {
      {Form({false, 0}, "x"), FormField::kYear, "「年」"},
      {Form({true, 10000}, "x"), FormField::kYear, "「年」"},
      {badSecond, FormField::kSecondYear, "「2つ目の年」"},
      {unencodable, FormField::kMemo1, "「メモ1」"},
      {tooLong, FormField::kMemo2, "「メモ2」"},
  };
  for (const auto& c : cases) {
    const ComposedLine composed = ComposeEventLine(c.form);
    EXPECT_EQ(composed.field, c.field) << c.named;
    EXPECT_NE(composed.message.find(c.named), std::string::npos) << composed.message;
    EXPECT_TRUE(composed.line.empty());
  }
  tooLong.memo2.resize(237);  // 18 bytes besides: exactly 255
  EXPECT_EQ(ComposeEventLine(tooLong).line.size(), kEventLineLimit);
}

TEST(EventForm, AnEditKeepsTheBytesOfUnchangedFields) {
  // An invalid byte in memo 1, text after the second date's comma and after
  // the last field: all stay while other fields change.
  const Sjis line = Bad("AD0710;3,2,AD0794,x;*奈良;*平城京;", ";m2;rest");
  const struct {
    void (*change)(EventForm&);
    Sjis after;
  } cases[] = {
      {[](EventForm&) {}, line},
      {[](EventForm& f) { f.first.year = 720; },
       Bad("AD0720;3,2,AD0794,x;*奈良;*平城京;", ";m2;rest")},
      {[](EventForm& f) { f.importance = 5; },
       Bad("AD0710;5,2,AD0794,x;*奈良;*平城京;", ";m2;rest")},
      {[](EventForm& f) { f.second.reset(); }, Bad("AD0710;3,2,,x;*奈良;*平城京;", ";m2;rest")},
      {[](EventForm& f) { f.firstApproximate = false; },
       Bad("AD0710;3,2,AD0794,x;*奈良;平城京;", ";m2;rest")},
      {[](EventForm& f) { f.memo2 = "新;"; },
       Bad("AD0710;3,2,AD0794,x;*奈良;*平城京;", ";新；;rest")},
  };
  for (const auto& c : cases) {
    EventForm form = FormOfLine(line);
    c.change(form);
    const ComposedLine edited = ComposeEditedLine(line, form);
    ASSERT_TRUE(edited.ok()) << edited.message;
    EXPECT_EQ(edited.line, c.after) << DecodeCp932(c.after);
  }
}

TEST(EventForm, InsertedAfterTheLastLineNotLater) {
  const std::vector<Sjis> lines{"AD0794;3,1,;;a;;;"_sj, "BC0091;3,1,;;b;;;"_sj,
                                "H-not-an-event"_sj,    "AD1192;3,1,;;c;;;"_sj,
                                "AD0794;3,1,;;d;;;"_sj, "AD2000;3,1,;;e;;;"_sj};
  EXPECT_EQ(InsertionIndex(lines, {true, 100}), 0u);
  EXPECT_EQ(InsertionIndex(lines, {true, 91}), 2u);
  EXPECT_EQ(InsertionIndex(lines, {false, 794}), 5u);
  EXPECT_EQ(InsertionIndex(lines, {false, 3000}), 6u);
  EXPECT_EQ(InsertionIndex(std::vector<Sjis>{}, {false, 1}), 0u);
}

}  // namespace
}  // namespace qev
