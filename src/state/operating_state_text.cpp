#include "state/operating_state_text.h"

#include "events/event_store.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "text/byte_fields.h"
#include "text/circled.h"

namespace qev {

namespace {

constexpr std::size_t kLineLimit = 255;
constexpr int kFirstNameLine = 38;
// Lines past the last base-name line are documentation only.
constexpr std::size_t kLinesRead = kFirstNameLine + OperatingState::kSlotCount;

// A 0/1 setting: only 1 counts as on, as the description lines say
// "(0)" OFF and "(1)" ON; any other digit is off.
int AsFlag(int value) {
  return value == 1 ? 1 : 0;
}

void AppendLine(Sjis& out, std::string_view line) {
  out += line;
  out += "\r\n";
}

void AppendOnOffLine(Sjis& out, const Sjis& name, int flag) {
  out += name;
  AppendLine(out, AsFlag(flag) ? "=ON  (1)"_sj : "=OFF (0)"_sj);
}

Sjis SlotLine(const OperatingState::Slot& slot, int k) {
  Sjis line = "  ファイル"_sj + CircledNumber(k + 1) + "名="_sj + slot.baseName + ";"_sj;
  if (!AsFlag(slot.loaded)) {
    line += EventStore::DefaultLabel(k) + ";OFF; (0)(0)"_sj;
  } else {
    line += slot.label + ";" + (AsFlag(slot.on) ? "ON  (1)(1)"_sj : "OFF (1)(0)"_sj);
  }
  return line;
}

// Whether byte b starts a two-byte CP932 character.
bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The first `limit` bytes of a line, one byte fewer where the cut would
// leave the lead byte of a two-byte character without its second byte, so
// that a name taken from the line stays valid CP932.
std::string_view CutLine(std::string_view line, std::size_t limit) {
  if (line.size() <= limit) return line;
  std::size_t end = 0;
  while (end < limit) {
    std::size_t width = IsLeadByte(static_cast<unsigned char>(line[end])) ? 2 : 1;
    if (end + width > limit) break;
    end += width;
  }
  return line.substr(0, end);
}

// The lines of a state text, up to the last one the reader uses. A line ends
// at LF with a CR before it dropped: the state file's reader splits at LF as
// well, so a text from the file never holds a bare LF, and an edited text may.
// What follows the final line break is a line only when it holds something:
// an empty text has no lines at all. Lines are whole: the caller cuts them.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size() && lines.size() < kLinesRead) {
    std::size_t lf = text.find('\n', start);
    std::size_t end = lf == kNoPos ? text.size() : lf;
    std::string_view line = text.substr(start, end - start);
    if (lf != kNoPos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (lf == kNoPos) break;
    start = lf + 1;
  }
  return lines;
}

// The bytes after the first "=" up to the next ";" (or the end); empty
// without "=".
Sjis NameAfterEquals(std::string_view line) {
  std::size_t eq = line.find('=');
  if (eq == kNoPos) return {};
  return Sjis(Head(line.substr(eq + 1), ';'));
}

// Values outside their sets would index the range table, the brightness
// colours or the mode texts outside their bounds.
void Bound(OperatingState& s) {
  DisplaySettings& d = s.display;
  for (int k = 1; k <= 5; ++k) {
    d.importanceFilter[k] = AsFlag(d.importanceFilter[k]);
    d.memorisationFilter[k] = AsFlag(d.memorisationFilter[k]);
  }
  for (int* flag : {&d.filterPriority, &d.showYear, &d.showImportance, &d.showMemorisation,
                    &d.showEventLeft, &d.showEventRight, &d.showMemo1, &d.showMemo2}) {
    *flag = AsFlag(*flag);
  }
  d.brightness =
      std::clamp(d.brightness, OperatingState::kMinBrightness, OperatingState::kMaxBrightness);
  s.rangeIndex = std::clamp(s.rangeIndex, 0, TimelineScale::kRangeCount - 1);
  s.savedScrollPos = std::clamp(s.savedScrollPos, 0, TimelineScale::kScrollMax);
  for (OperatingState::Slot& slot : s.slots) {
    slot.loaded = AsFlag(slot.loaded);
    slot.on = AsFlag(slot.on);
  }
}

}  // namespace

Sjis ComposeStateText(const OperatingState& state, const Sjis& stateTitle, const Sjis& clockText) {
  const DisplaySettings& d = state.display;
  auto digit = [](int value) { return std::to_string(value); };
  Sjis out;
  out.reserve(3000);

  AppendLine(out, "H;" + stateTitle + ";;" + clockText + ";");
  Sjis line("D1;");
  for (int k = 1; k <= 5; ++k) line += digit(d.importanceFilter[k]);
  line += ";";
  for (int k = 1; k <= 5; ++k) line += digit(d.memorisationFilter[k]);
  AppendLine(out, line + ";" + digit(d.filterPriority) + ";");
  AppendLine(out, "D2;" + digit(d.showYear) + digit(d.showImportance) + digit(d.showMemorisation) +
                      digit(d.showEventLeft) + ";" + digit(d.showEventRight) + digit(d.showMemo1) +
                      digit(d.showMemo2) + ";" + digit(static_cast<int>(d.yearDisplayMode)) + ";" +
                      digit(state.rangeIndex) + ";" + digit(state.timeUnit) + ";" +
                      digit(state.savedScrollPos) + ";" + digit(state.selectedIndex) + ";");
  line = Sjis("D3;");
  for (const OperatingState::Slot& slot : state.slots) {
    line += digit(slot.loaded) + digit(slot.on) + ";";
  }
  AppendLine(out, line);
  AppendLine(out, "D4;" + digit(static_cast<int>(d.pointDisplayMode)) + ";" +
                      digit(static_cast<int>(d.textSize)) + ";" + digit(d.brightness) + ";");

  AppendLine(out, "動作状態の説明"_sj);
  AppendLine(out, "<重要度> (0,1)"_sj);
  for (int k = 1; k <= 5; ++k)
    AppendOnOffLine(out, "  重要度"_sj + CircledNumber(k), d.importanceFilter[k]);
  AppendLine(out, "<記憶度> (0,1)"_sj);
  for (int k = 1; k <= 5; ++k) {
    AppendOnOffLine(out, "  記憶度"_sj + CircledNumber(k), d.memorisationFilter[k]);
  }
  AppendLine(out, "<重要度/記憶度優先順位> (0,1)"_sj);
  AppendLine(out, AsFlag(d.filterPriority) ? "  優先順位=記憶度優先 (1)"_sj
                                           : "  優先順位=重要度優先 (0)"_sj);
  AppendLine(out, "<左表示欄> (0,1)"_sj);
  AppendOnOffLine(out, "  歴史年代表示"_sj, d.showYear);
  AppendOnOffLine(out, "  重要度表示"_sj, d.showImportance);
  AppendOnOffLine(out, "  記憶度表示"_sj, d.showMemorisation);
  AppendOnOffLine(out, "  できごと表示"_sj, d.showEventLeft);
  AppendLine(out, "<右表示欄> (0,1)"_sj);
  AppendOnOffLine(out, "  できごと表示"_sj, d.showEventRight);
  AppendOnOffLine(out, "  メモ1表示"_sj, d.showMemo1);
  AppendOnOffLine(out, "  メモ2表示"_sj, d.showMemo2);
  AppendLine(out, "<範囲表示/年表示> (0,1)"_sj);
  AppendLine(out, "  範囲表示/年表示="_sj + digit(static_cast<int>(d.yearDisplayMode)));
  AppendLine(out, "<レンジ> (0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20)"_sj);
  AppendLine(out, "  レンジ="_sj + digit(state.rangeIndex));
  AppendLine(out, "<単位> (1)"_sj);
  AppendLine(out, "  単位=1年 (1)"_sj);
  AppendLine(out, "  POS=" + digit(state.savedScrollPos) + " (変更不可)"_sj);
  AppendLine(out, "  Pt00=" + digit(state.selectedIndex) + " (変更不可)"_sj);
  AppendLine(out, "<初期自動入力ファイル名> (0,1)(0,1)"_sj);
  for (int k = 0; k < OperatingState::kSlotCount; ++k) {
    AppendLine(out, SlotLine(state.slots[static_cast<std::size_t>(k)], k));
  }
  AppendLine(out, "<ポイントの表示> (0,1,2)"_sj);
  switch (d.pointDisplayMode) {
    case PointDisplayMode::kHidden:
      AppendLine(out, "  ポイントの表示=ポイントの非表示 (0)"_sj);
      break;
    case PointDisplayMode::kAll:
      AppendLine(out, "  ポイントの表示=ポイントの全表示 (1)"_sj);
      break;
    case PointDisplayMode::kSelectedOnly:
      AppendLine(out, "  ポイントの表示=1 ポイント表示 (2)"_sj);
      break;
  }
  AppendLine(out, "<表示文字> (0,1)"_sj);
  AppendLine(out, d.textSize == TextSize::kLarge ? "  表示文字=表示文字大 (1)"_sj
                                                 : "  表示文字=表示文字小 (0)"_sj);
  AppendLine(out, "<画面の明るさ> (1,2,3,4,5)"_sj);
  AppendLine(out, "  画面の明るさ= ("_sj + digit(d.brightness) + ")");
  return out;
}

OperatingState ReadOperatingState(const Sjis& text, const OperatingState& current) {
  // The machine lines are read as a line of at most 255 bytes holds them;
  // a name is taken whole, since a cut one would name another file (one
  // longer than kBaseNameLimit is refused when its slot is read).
  const std::vector<std::string_view> wholeLines = SplitLines(text);
  std::vector<std::string_view> lines;
  for (std::string_view line : wholeLines) lines.push_back(CutLine(line, kLineLimit));
  // A line the text does not reach (no state file, or one cut short) leaves
  // its settings as they are: reading it as all zeros would switch every
  // filter off and darken the screen. A line that is there is read as it
  // stands, a position past its end giving 0.
  auto present = [&](std::size_t i) { return i < lines.size(); };
  OperatingState s = current;
  DisplaySettings& d = s.display;

  for (int k = 0; k < OperatingState::kSlotCount; ++k) {
    OperatingState::Slot& slot = s.slots[static_cast<std::size_t>(k)];
    slot.label = EventStore::DefaultLabel(k);
    std::size_t i = static_cast<std::size_t>(kFirstNameLine + k);
    if (present(i)) slot.baseName = NameAfterEquals(wholeLines[i]);
  }
  if (present(1)) {
    std::string_view line = lines[1];
    for (int k = 1; k <= 5; ++k) {
      d.importanceFilter[k] = DigitAt(line, static_cast<std::size_t>(2 + k));
      d.memorisationFilter[k] = DigitAt(line, static_cast<std::size_t>(8 + k));
    }
    d.filterPriority = DigitAt(line, 15);
  }
  if (present(2)) {
    std::string_view line = lines[2];
    d.showYear = DigitAt(line, 3);
    d.showImportance = DigitAt(line, 4);
    d.showMemorisation = DigitAt(line, 5);
    d.showEventLeft = DigitAt(line, 6);
    d.showEventRight = DigitAt(line, 8);
    d.showMemo1 = DigitAt(line, 9);
    d.showMemo2 = DigitAt(line, 10);
    d.yearDisplayMode = DigitAt(line, 12) == 1 ? YearDisplayMode::kYear : YearDisplayMode::kRange;
    // Counted by ";" rather than by position: a two-digit range shifts the
    // rest. The unit after the range is fixed and Pt00 is not restored.
    s.rangeIndex = LeadingInt(Field(line, ';', 4));
    s.savedScrollPos = LeadingInt(Field(line, ';', 6));
  }
  if (present(3)) {
    for (int k = 0; k < OperatingState::kSlotCount; ++k) {
      OperatingState::Slot& slot = s.slots[static_cast<std::size_t>(k)];
      slot.loaded = DigitAt(lines[3], static_cast<std::size_t>(3 + 3 * k));
      slot.on = DigitAt(lines[3], static_cast<std::size_t>(4 + 3 * k));
    }
  }
  if (present(4)) {
    // Values outside the sets are taken as the nearest one, or as off.
    d.pointDisplayMode = static_cast<PointDisplayMode>(std::clamp(DigitAt(lines[4], 3), 0, 2));
    d.textSize = DigitAt(lines[4], 5) == 1 ? TextSize::kLarge : TextSize::kSmall;
    d.brightness = DigitAt(lines[4], 7);
  }
  // The point list is rebuilt after a restore; the selection starts over.
  s.selectedIndex = 0;
  Bound(s);
  return s;
}

}  // namespace qev
