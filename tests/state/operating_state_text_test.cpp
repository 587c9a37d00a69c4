#include "state/operating_state_text.h"

#include "events/event_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace qev {
namespace {

Sjis JoinLines(const std::vector<Sjis>& lines) {
  Sjis text;
  for (const Sjis& line : lines) text += line + "\r\n";
  return text;
}

// The lines of a text split at CR LF; a final CR LF leaves an empty last line.
std::vector<Sjis> SjisLines(const Sjis& text) {
  std::vector<Sjis> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != Sjis::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

std::vector<std::string> Utf8Lines(const Sjis& text) {
  std::vector<std::string> lines;
  for (const Sjis& line : SjisLines(text)) lines.push_back(DecodeCp932(line));
  return lines;
}

// A state far from the defaults in every setting.
OperatingState VariedState() {
  OperatingState s;
  DisplaySettings& d = s.display;
  d.importanceFilter = {0, 0, 1, 0, 1, 1};
  d.memorisationFilter = {0, 1, 0, 0, 1, 0};
  d.filterPriority = 1;
  d.showYear = 0;
  d.showImportance = 1;
  d.showMemorisation = 0;
  d.showEventLeft = 1;
  d.showEventRight = 0;
  d.showMemo1 = 0;
  d.showMemo2 = 1;
  d.yearDisplayMode = YearDisplayMode::kYear;
  d.pointDisplayMode = PointDisplayMode::kSelectedOnly;
  d.textSize = TextSize::kLarge;
  d.brightness = 5;
  s.rangeIndex = 15;
  s.savedScrollPos = 123;
  s.selectedIndex = 42;
  for (int k = 0; k < OperatingState::kSlotCount; ++k) {
    OperatingState::Slot& slot = s.slots[static_cast<std::size_t>(k)];
    slot.baseName = "日本史("_sj + Sjis(std::to_string(k)) + ")"_sj;
    slot.label = "題"_sj + Sjis(std::to_string(k));
    slot.loaded = k % 3 != 2;
    slot.on = k % 2;
  }
  return s;
}

void ExpectSameSettings(const OperatingState& a, const OperatingState& b) {
  const DisplaySettings& x = a.display;
  const DisplaySettings& y = b.display;
  EXPECT_EQ(x.importanceFilter, y.importanceFilter);
  EXPECT_EQ(x.memorisationFilter, y.memorisationFilter);
  EXPECT_EQ(x, y);
  EXPECT_EQ(a.rangeIndex, b.rangeIndex);
  EXPECT_EQ(a.savedScrollPos, b.savedScrollPos);
  EXPECT_EQ(a.selectedIndex, b.selectedIndex);
  for (std::size_t k = 0; k < a.slots.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(a.slots[k].baseName, b.slots[k].baseName);
    EXPECT_EQ(a.slots[k].label, b.slots[k].label);
    EXPECT_EQ(a.slots[k].loaded, b.slots[k].loaded);
    EXPECT_EQ(a.slots[k].on, b.slots[k].on);
  }
}

TEST(OperatingState, ComposesTheMachineLinesAndTheDescription) {
  OperatingState s = VariedState();
  Sjis text = ComposeStateText(s, "動作状態10"_sj, "2026年12月08日10時52分"_sj);
  std::vector<std::string> lines = Utf8Lines(text);
  ASSERT_EQ(lines.size(), 55u);
  EXPECT_EQ(lines[54], "");
  EXPECT_EQ(lines[0], "H;動作状態10;;2026年12月08日10時52分;");
  EXPECT_EQ(lines[1], "D1;01011;10010;1;");
  EXPECT_EQ(lines[2], "D2;0101;001;1;15;1;123;42;");
  EXPECT_EQ(lines[3], "D3;10;11;00;11;10;01;10;11;00;11;");
  EXPECT_EQ(lines[4], "D4;2;1;5;");
  EXPECT_EQ(lines[5], "動作状態の説明");
  EXPECT_EQ(lines[7], "  重要度①=OFF (0)");
  EXPECT_EQ(lines[11], "  重要度⑤=ON  (1)");
  EXPECT_EQ(lines[17], "  記憶度⑤=OFF (0)");
  EXPECT_EQ(lines[19], "  優先順位=記憶度優先 (1)");
  EXPECT_EQ(lines[21], "  歴史年代表示=OFF (0)");
  EXPECT_EQ(lines[30], "  範囲表示/年表示=1");
  EXPECT_EQ(lines[32], "  レンジ=15");
  EXPECT_EQ(lines[35], "  POS=123 (変更不可)");
  EXPECT_EQ(lines[36], "  Pt00=42 (変更不可)");
  EXPECT_EQ(lines[37], "<初期自動入力ファイル名> (0,1)(0,1)");
  EXPECT_EQ(lines[38], "  ファイル①名=日本史(0);題0;OFF (1)(0)");
  EXPECT_EQ(lines[39], "  ファイル②名=日本史(1);題1;ON  (1)(1)");
  EXPECT_EQ(lines[40], "  ファイル③名=日本史(2);ファイル③;OFF; (0)(0)");
  EXPECT_EQ(lines[47], "  ファイル⑩名=日本史(9);題9;ON  (1)(1)");
  EXPECT_EQ(lines[49], "  ポイントの表示=1 ポイント表示 (2)");
  EXPECT_EQ(lines[51], "  表示文字=表示文字大 (1)");
  EXPECT_EQ(lines[53], "  画面の明るさ= (5)");

  s.display.pointDisplayMode = PointDisplayMode::kHidden;
  EXPECT_EQ(Utf8Lines(ComposeStateText(s, {}, {}))[49], "  ポイントの表示=ポイントの非表示 (0)");
  s.display.pointDisplayMode = PointDisplayMode::kAll;
  EXPECT_EQ(Utf8Lines(ComposeStateText(s, {}, {}))[49], "  ポイントの表示=ポイントの全表示 (1)");
}

TEST(OperatingState, ReadBackRestoresEverySettingButTheSelection) {
  OperatingState saved = VariedState();
  OperatingState read = ReadOperatingState(ComposeStateText(saved, {}, {}), OperatingState{});
  OperatingState expected = saved;
  expected.selectedIndex = 0;
  for (int k = 0; k < OperatingState::kSlotCount; ++k) {
    expected.slots[static_cast<std::size_t>(k)].label = EventStore::DefaultLabel(k);
  }
  ExpectSameSettings(read, expected);
}

TEST(OperatingState, ReadsTheMachineLinesByFieldAndTheNamesUpToTheirSemicolon) {
  OperatingState s = VariedState();
  s.slots[0].baseName = "世界史;近世"_sj;
  std::vector<Sjis> lines = SjisLines(ComposeStateText(s, {}, {}));
  lines.pop_back();

  // The description's range line is documentation only.
  lines[32] = "  レンジ=3"_sj;
  EXPECT_EQ(ReadOperatingState(JoinLines(lines), {}).rangeIndex, 15);
  EXPECT_EQ(ReadOperatingState(JoinLines(lines), {}).slots[0].baseName, "世界史"_sj);

  // A one-digit range shifts POS two bytes left; it is still found by ";".
  lines[2] = "D2;0101;001;1;4;1;123;42;"_sj;
  OperatingState read = ReadOperatingState(JoinLines(lines), {});
  EXPECT_EQ(read.rangeIndex, 4);
  EXPECT_EQ(read.savedScrollPos, 123);
  EXPECT_EQ(read.display.yearDisplayMode, YearDisplayMode::kYear);

  // A name line without "=" gives an empty name; one without ";" runs to the end.
  lines[39] = "  ファイル②名"_sj;
  lines[40] = "  ファイル③名=近代"_sj;
  read = ReadOperatingState(JoinLines(lines), {});
  EXPECT_EQ(read.slots[1].baseName, "");
  EXPECT_EQ(read.slots[2].baseName, "近代"_sj);

  // Lines end at LF as well, with or without a CR before it.
  Sjis lf = "H;;;\nD1;00000;11111;0;\r\nD2;1111;111;0;20;1;7;0;\n"_sj;
  read = ReadOperatingState(lf, {});
  EXPECT_EQ(read.display.importanceFilter, (std::array<int, 6>{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(read.rangeIndex, 20);
  EXPECT_EQ(read.savedScrollPos, 7);
}

TEST(OperatingState, AbsentLinesKeepTheirSettingsAndShortOnesReadAsZero) {
  OperatingState current = VariedState();
  OperatingState empty = ReadOperatingState({}, current);
  OperatingState expected = current;
  expected.selectedIndex = 0;
  for (int k = 0; k < OperatingState::kSlotCount; ++k) {
    expected.slots[static_cast<std::size_t>(k)].label = EventStore::DefaultLabel(k);
  }
  ExpectSameSettings(empty, expected);

  // Cut in line 3, after the first two slots: lines 1 and 2 are read, line 3
  // as far as it goes, line 4 and the names are kept.
  Sjis cut = "H;t;;c;\r\nD1;11111;11111;0;\r\nD2;1111;111;0;7;1;365;0;\r\nD3;01;1"_sj;
  OperatingState read = ReadOperatingState(cut, current);
  EXPECT_EQ(read.display.importanceFilter, (std::array<int, 6>{0, 1, 1, 1, 1, 1}));
  EXPECT_EQ(read.display.filterPriority, 0);
  EXPECT_EQ(read.rangeIndex, 7);
  EXPECT_EQ(read.savedScrollPos, 365);
  EXPECT_EQ(read.slots[0].loaded, 0);
  EXPECT_EQ(read.slots[0].on, 1);
  EXPECT_EQ(read.slots[1].loaded, 1);
  EXPECT_EQ(read.slots[1].on, 0);
  EXPECT_EQ(read.slots[9].loaded, 0);
  EXPECT_EQ(read.display.brightness, 5);
  EXPECT_EQ(read.slots[4].baseName, current.slots[4].baseName);

  // A file cut after the first name line: the line break that ends it does
  // not make an empty second name.
  std::vector<Sjis> lines = SjisLines(ComposeStateText(OperatingState{}, {}, {}));
  lines.resize(39);
  read = ReadOperatingState(JoinLines(lines), current);
  EXPECT_EQ(read.slots[0].baseName, "歴史文書20"_sj);
  EXPECT_EQ(read.slots[1].baseName, current.slots[1].baseName);

  // Present but empty machine lines: every value 0, brightness at its floor.
  read = ReadOperatingState("H\r\n\r\n\r\n\r\n\r\n"_sj, current);
  EXPECT_EQ(read.display.memorisationFilter, (std::array<int, 6>{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(read.display.showMemo2, 0);
  EXPECT_EQ(read.rangeIndex, 0);
  EXPECT_EQ(read.savedScrollPos, 0);
  EXPECT_EQ(read.slots[3].on, 0);
  EXPECT_EQ(read.display.pointDisplayMode, PointDisplayMode::kHidden);
  EXPECT_EQ(read.display.brightness, OperatingState::kMinBrightness);
}

TEST(OperatingState, BoundsValuesOutsideTheirSets) {
  std::vector<Sjis> lines(48, "x"_sj);
  lines[1] = "D1;12901;1x1 1;7;"_sj;
  lines[2] = "D2;2111;111;9;25;1;9999999999999;3;"_sj;
  lines[3] = "D3;21;13;"_sj;
  lines[4] = "D4;7;3;9;"_sj;
  OperatingState read = ReadOperatingState(JoinLines(lines), {});
  EXPECT_EQ(read.display.importanceFilter, (std::array<int, 6>{0, 1, 0, 0, 0, 1}));
  EXPECT_EQ(read.display.memorisationFilter, (std::array<int, 6>{0, 1, 0, 1, 0, 1}));
  EXPECT_EQ(read.display.filterPriority, 0);
  EXPECT_EQ(read.display.showYear, 0);
  EXPECT_EQ(read.display.yearDisplayMode, YearDisplayMode::kRange);
  EXPECT_EQ(read.rangeIndex, 20);
  EXPECT_EQ(read.savedScrollPos, TimelineScale::kScrollMax);
  EXPECT_EQ(read.slots[0].loaded, 0);
  EXPECT_EQ(read.slots[1].on, 0);
  EXPECT_EQ(read.display.pointDisplayMode, PointDisplayMode::kSelectedOnly);
  EXPECT_EQ(read.display.textSize, TextSize::kSmall);
  EXPECT_EQ(read.display.brightness, OperatingState::kMaxBrightness);

  // A name is taken whole from a line longer than a line may be: cut, it
  // would name another file.
  lines[38] = "  ファイル①名=x"_sj + Sjis(300, 'a') + ";ファイル①;ON  (1)(1)"_sj;
  read = ReadOperatingState(JoinLines(lines), {});
  EXPECT_EQ(read.slots[0].baseName, "x" + Sjis(300, 'a'));
}

TEST(OperatingState, BundledStateFileOpensTheTenThemes) {
  std::filesystem::path dir = std::filesystem::path(QEV_SOURCE_DIR) / "qev_file";
  std::ifstream in(dir / "動作状態10.txt", std::ios::binary);
  ASSERT_TRUE(in);
  Sjis file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

  OperatingState read = ReadOperatingState(file, OperatingState{});
  EXPECT_EQ(read.rangeIndex, 7);
  EXPECT_EQ(read.savedScrollPos, 365);
  EXPECT_EQ(read.display.brightness, 3);
  EXPECT_EQ(read.display.pointDisplayMode, PointDisplayMode::kAll);
  for (int k = 0; k < OperatingState::kSlotCount; ++k) {
    const OperatingState::Slot& slot = read.slots[static_cast<std::size_t>(k)];
    SCOPED_TRACE(k);
    EXPECT_EQ(slot.loaded, 1);
    EXPECT_EQ(slot.on, 1);
    EXPECT_EQ(slot.label, EventStore::DefaultLabel(k));
    EXPECT_TRUE(std::filesystem::exists(dir / (DecodeCp932(slot.baseName) + ".txt")));
  }
  EXPECT_EQ(DecodeCp932(read.slots[0].baseName), "日本史(古代)");
  EXPECT_EQ(DecodeCp932(read.slots[9].baseName), "文化・科学史");

  // The file holds the composed text with its end marker in place of the
  // final empty line; with each slot's label set to the title its file
  // carries, composing gives the file back byte for byte.
  for (OperatingState::Slot& slot : read.slots) slot.label = slot.baseName;
  std::vector<Sjis> lines = SjisLines(file);
  ASSERT_EQ(lines.size(), 56u);
  EXPECT_EQ(lines[54], ";");
  lines.resize(54);
  Sjis header = lines[0];
  Sjis clock = header.substr(header.rfind(';', header.size() - 2) + 1);
  clock.pop_back();
  EXPECT_EQ(ComposeStateText(read, "動作状態10"_sj, clock), JoinLines(lines));
}

}  // namespace
}  // namespace qev
