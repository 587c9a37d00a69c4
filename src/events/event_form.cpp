#include "events/event_form.h"

#include <array>

#include "events/event_line.h"
#include "text/byte_fields.h"

namespace qev {
namespace {

constexpr char kApproximateMark = '*';
constexpr int kTextFieldCount = 4;  // period, event, memo 1, memo 2 (fields 2..5)

const char* FieldName(FormField field) {
  switch (field) {
    case FormField::kYear:
      return "年";
    case FormField::kSecondYear:
      return "2つ目の年";
    case FormField::kPeriod:
      return "時代";
    case FormField::kEvent:
      return "できごと";
    case FormField::kMemo1:
      return "メモ1";
    case FormField::kMemo2:
      return "メモ2";
    case FormField::kNone:
      break;
  }
  return "";
}

ComposedLine Refuse(FormField field, const std::string& why) {
  return {{}, field, "「" + std::string(FieldName(field)) + "」" + why};
}

int LevelOf(char digit) {
  return digit >= '1' && digit <= '5' ? digit - '0' : 1;
}

// A date field as the files write it: "AD0794", "BC0091".
std::string DateText(const EraYear& date) {
  std::string digits = std::to_string(date.year);
  return std::string(date.bc ? "BC" : "AD") + std::string(4 - digits.size(), '0') + digits;
}

bool YearInRange(const EraYear& date) {
  return date.year >= 1 && date.year <= 9999;
}

// The UTF-8 text as a field may hold it: ";" would end the field and a line
// break the line, and a leading "*" would mark a date.
std::string FieldText(std::string_view utf8, bool leadingMarkMatters) {
  std::string out;
  for (char c : utf8) {
    if (c == ';') {
      out += "；";
    } else if (c == '\r' || c == '\n') {
      out += ' ';
    } else {
      out += c;
    }
  }
  if (leadingMarkMatters && ByteAt(out, 0) == kApproximateMark) out.replace(0, 1, "＊");
  return out;
}

struct TextFields {
  std::array<Sjis, kTextFieldCount> bytes;
  ComposedLine problem;
};

constexpr std::array<FormField, kTextFieldCount> kTextFields{FormField::kPeriod, FormField::kEvent,
                                                             FormField::kMemo1, FormField::kMemo2};

std::array<const std::string*, kTextFieldCount> TextsOf(const EventForm& form) {
  return {&form.period, &form.event, &form.memo1, &form.memo2};
}
std::array<std::string_view, kTextFieldCount> TextsOf(const EventFields& event) {
  return {event.period, event.event, event.memo1, event.memo2};
}

// The four text fields of the form in CP932, marks included; `old`, where
// given, supplies the bytes of every text the dialog left as it was.
TextFields EncodeTexts(const EventForm& form, const EventFields* old) {
  TextFields out;
  const auto texts = TextsOf(form);
  const std::array<bool, kTextFieldCount> marks{form.secondApproximate, form.firstApproximate,
                                                false, false};
  for (int i = 0; i < kTextFieldCount; ++i) {
    const auto index = static_cast<std::size_t>(i);
    const bool markable = i < 2;
    Sjis& bytes = out.bytes[index];
    if (marks[index]) bytes += kApproximateMark;
    if (old) {
      const std::string_view oldText = TextsOf(*old)[index];
      if (DecodeCp932(oldText) == *texts[index]) {
        bytes.append(oldText);
        continue;
      }
    }
    const Cp932Encoding encoded = EncodeCp932(FieldText(*texts[index], markable));
    if (!encoded.ok()) {
      out.problem = Refuse(kTextFields[index], "に Shift-JIS で書けない文字「" +
                                                   encoded.unencodable + "」があります。");
      return out;
    }
    bytes += encoded.bytes;
  }
  return out;
}

std::string LevelsAndSecondDate(const EventForm& form) {
  return std::string(1, static_cast<char>('0' + form.importance)) + "," +
         static_cast<char>('0' + form.memorisation) + "," +
         (form.second ? DateText(*form.second) : std::string()) + ",";
}

ComposedLine CheckDates(const EventForm& form) {
  if (!YearInRange(form.first)) return Refuse(FormField::kYear, "は 1 から 9999 までです。");
  if (form.second && !YearInRange(*form.second)) {
    return Refuse(FormField::kSecondYear, "は 1 から 9999 までです。");
  }
  return {};
}

// The longest text field names what to shorten.
ComposedLine RefuseLength(const TextFields& texts, std::size_t size) {
  std::size_t longest = 0;
  for (std::size_t i = 1; i < texts.bytes.size(); ++i) {
    if (texts.bytes[i].size() > texts.bytes[longest].size()) longest = i;
  }
  return Refuse(kTextFields[longest], "を短くしてください。できごとの行が " + std::to_string(size) +
                                          " バイトになり、" + std::to_string(kEventLineLimit) +
                                          " バイトを超えます。");
}

ComposedLine Assemble(std::string_view head, std::string_view levels, const TextFields& texts,
                      std::string_view tail) {
  ComposedLine out;
  out.line.append(head);
  out.line += ';';
  out.line.append(levels);
  out.line += ';';
  for (const Sjis& bytes : texts.bytes) {
    out.line += bytes;
    out.line += ';';
  }
  out.line.append(tail);
  return out;
}

}  // namespace

namespace {

EventForm FormOf(const EventFields& event) {
  EventForm form;
  if (event.first) form.first = *event.first;
  form.second = event.second;
  form.firstApproximate = event.firstApproximate;
  form.secondApproximate = event.secondApproximate;
  form.importance = LevelOf(event.importance);
  form.memorisation = LevelOf(event.memorisation);
  form.period = DecodeCp932(event.period);
  form.event = DecodeCp932(event.event);
  form.memo1 = DecodeCp932(event.memo1);
  form.memo2 = DecodeCp932(event.memo2);
  return form;
}

}  // namespace

EventForm FormOfLine(std::string_view line) {
  return FormOf(ParseEvent(line));
}

ComposedLine ComposeEventLine(const EventForm& form) {
  if (ComposedLine bad = CheckDates(form); !bad.ok()) return bad;
  const TextFields texts = EncodeTexts(form, nullptr);
  if (!texts.problem.ok()) return texts.problem;
  ComposedLine out = Assemble(DateText(form.first), LevelsAndSecondDate(form), texts, {});
  if (out.line.size() > kEventLineLimit) return RefuseLength(texts, out.line.size());
  return out;
}

ComposedLine ComposeEditedLine(std::string_view line, const EventForm& form) {
  if (ComposedLine bad = CheckDates(form); !bad.ok()) return bad;
  const EventFields event = ParseEvent(line);
  const TextFields texts = EncodeTexts(form, &event);
  if (!texts.problem.ok()) return texts.problem;
  const EventForm old = FormOf(event);

  std::string_view head = event.dateField;
  const std::string newHead = DateText(form.first);
  if (event.first != form.first) head = newHead;

  // Field 1: the level digits, the second date, and whatever follows its
  // comma, which no reader uses but the file keeps.
  std::string_view levels = event.levelsField;
  std::string newLevels;
  const bool levelsKept = old.importance == form.importance &&
                          old.memorisation == form.memorisation && old.second == form.second;
  if (!levelsKept) {
    const std::size_t third = FindNth(levels, ',', 3);
    newLevels = LevelsAndSecondDate(form);
    if (third != kNoPos) newLevels.append(levels.substr(third + 1));
    levels = newLevels;
  }

  const std::size_t sixth = FindNth(line, ';', 6);
  const std::string_view tail = sixth == kNoPos ? std::string_view() : line.substr(sixth + 1);
  ComposedLine out = Assemble(head, levels, texts, tail);
  if (out.line.size() > kEventLineLimit && out.line.size() > line.size()) {
    return RefuseLength(texts, out.line.size());
  }
  return out;
}

}  // namespace qev
