#include "panel/control_panel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "panel/panel_areas.h"
#include "platform/recording_canvas.h"
#include "state/clock.h"

namespace qev {
namespace {

using testing::DrawCall;
using ::testing::ElementsAreArray;
using testing::RecordingCanvas;

constexpr Rgb kGrey{152, 152, 152};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kOff{96, 96, 96};
constexpr Rgb kChanged{192, 96, 96};

class ControlPanelTest : public ::testing::Test {
 protected:
  ControlPanelTest() {
    const char* circled[] = {"①", "②", "③", "④", "⑤", "⑥", "⑦", "⑧", "⑨", "⑩"};
    for (std::size_t i = 0; i < labels.size(); ++i) {
      labels[i] = EncodeCp932(std::string("ファイル") + circled[i]).bytes;
      state.slots[i].label = labels[i];
    }
    state.selectedImportanceText = "③"_sj;
    state.selectedMemorisationText = "②"_sj;
    state.selectedSlotDigit = '0';
    state.visiblePointCount = 5;
    state.clockText = clock;
  }

  void Draw() {
    canvas.Clear();
    DrawControlPanel(canvas, state, stopwatch, nowMs);
  }

  // No fill covers a text: every text lies over what was drawn before it.
  void ExpectEveryTextOnTop() const {
    for (const DrawCall* c : canvas.Texts()) {
      const DrawCall* top = canvas.TopAt(c->x, c->y);
      ASSERT_NE(top, nullptr);
      EXPECT_EQ(top->op, DrawCall::Op::kText) << c->utf8;
    }
  }

  const DrawCall& Last(std::string_view utf8) const {
    const DrawCall* c = canvas.LastText(utf8);
    EXPECT_NE(c, nullptr) << utf8;
    static const DrawCall kNone;
    return c ? *c : kNone;
  }

  bool DrawnStartingWith(std::string_view prefix) const {
    for (const DrawCall* c : canvas.Texts()) {
      if (c->utf8.starts_with(prefix)) return true;
    }
    return false;
  }

  std::array<Sjis, 10> labels;
  Sjis clock = FormatClockText({2026, 12, 8, 9, 5, 0});
  ControlPanelState state;
  Stopwatch stopwatch;
  std::int64_t nowMs = 0;
  RecordingCanvas canvas;
};

// Every text of the default panel at 1024 x 768 (u = 2, so unit offsets and
// per-mille columns drift apart), in reading order, a blank before the label
// drawn over it; positions worked out by hand.
TEST_F(ControlPanelTest, DrawsEveryLabelAtItsPlaceOn1024x768) {
  state.layout = {1024, 768};
  Draw();
  const std::string slotBlank(22, ' ');
  const std::vector<std::string> expected = {
      // Row 1 (y 597).
      "重要度=@15,597", "①@62,597", "+@76,597", "②@84,597", "+@98,597", "③@106,597", "+@120,597",
      "④@128,597", "+@142,597", "⑤@150,597",  //
      "記憶度=@209,597", "①@257,597", "+@271,597", "②@279,597", "+@293,597", "③@301,597",
      "+@315,597", "④@323,597", "+@337,597", "⑤@345,597",  //
      "重要度優先@414,597", "重要度変更=@514,597", "③ @582,597", "記憶度変更=@619,597",
      "② @687,597", "ファイル位置=①@722,597", "内容変更の@839,597", "[設定]      @901,597",
      // Row 2 (y 619).
      " 歴史年代表示@15,619", "重要度表示   @122,619", "記憶度表示   @209,619",
      "できごと表示   @296,619", "ランダム選択@404,619", "できごと表示   @514,619",
      "メモ1表示   @611,619", "メモ2表示   @690,619", "範囲表示@750,619",
      "    　　　 　　 @834,619", " レンジ= 7 @834,619", "単位=1年@921,619",
      // Row 3 (y 640): each label over its blank.
      slotBlank + "@26,640", "ファイル①@26,640", slotBlank + "@124,640", "ファイル②@124,640",
      slotBlank + "@221,640", "ファイル③@221,640", slotBlank + "@318,640", "ファイル④@318,640",
      slotBlank + "@415,640", "ファイル⑤@415,640", slotBlank + "@513,640", "ファイル⑥@513,640",
      slotBlank + "@610,640", "ファイル⑦@610,640", slotBlank + "@707,640", "ファイル⑧@707,640",
      slotBlank + "@804,640", "ファイル⑨@804,640", slotBlank + "@902,640", "ファイル⑩@902,640",
      // Row 4 (y 661).
      "2026年12月08日09時05分@15,661", "   @194,661", "タイマー=             @209,661",
      "タイマー= 0分0秒@209,661", "動作状態@337,661", "ポイントの全表示@419,661",
      "表示文字小@531,661", "Q E V ライン式 暗記法機能図@629,661", "暗記法の機能説明@823,661",
      "明度=3@948,661"};
  EXPECT_THAT(canvas.Placed(), ElementsAreArray(expected));

  for (const DrawCall* c : canvas.Texts()) {
    EXPECT_EQ(c->face, "MS P明朝");
    EXPECT_EQ(c->fontHeight, 12);
    EXPECT_EQ(c->background, kGrey);
    EXPECT_EQ(c->mode, BackgroundMode::kOpaque);
  }
  ExpectEveryTextOnTop();
  // The grey panel from y 595 down, and the four bands at its foot, each
  // probed at its corners and just outside them.
  struct Pixel {
    int x, y;
    std::optional<Rgb> fill;
  };
  const Pixel pixels[] = {
      {0, 594, std::nullopt},
      {0, 595, kGrey},
      {1023, 767, kGrey},
      {9, 683, kGrey},
      {10, 682, kGrey},
      {10, 683, Rgb{128, 128, 128}},
      {1012, 694, Rgb{128, 128, 128}},
      {1013, 694, kGrey},
      {10, 695, Rgb{104, 104, 104}},
      {1012, 705, Rgb{104, 104, 104}},
      {10, 706, Rgb{88, 88, 88}},
      {1012, 717, Rgb{88, 88, 88}},
      {10, 718, Rgb{72, 72, 72}},
      {1012, 728, Rgb{72, 72, 72}},
      {10, 729, kGrey},
  };
  for (const Pixel& p : pixels) EXPECT_EQ(canvas.FillAt(p.x, p.y), p.fill) << p.x << "," << p.y;
  EXPECT_EQ(canvas.Fills().size(), 5u);
}

TEST_F(ControlPanelTest, RangeLabelShowsTheNewRangeOverItsBlank) {
  state.rangeIndex = 8;
  Draw();
  // 800 x 600: X(815) = 652, row 2 = 483.
  EXPECT_THAT(canvas.Placed({652, 483, 653, 484}),
              ElementsAreArray({"    　　　 　　 @652,483", " レンジ= 8 @652,483"}));
  EXPECT_EQ(canvas.TextAt(652, 483)->color, kWhite);
  EXPECT_EQ(canvas.TextAt(652, 483)->background, kGrey);
}

TEST_F(ControlPanelTest, SlotLabelsTakeTheColourOfTheirState) {
  state.slots[0] = {labels[0], true, true, true};   // on, unsaved changes
  state.slots[1] = {labels[1], true, false, true};  // switched off: changes do not show
  state.slots[2] = {labels[2], true, true, false};
  state.slots[3] = {labels[3], false, true, true};  // not loaded
  Draw();
  // 800 x 600: u = 2, row 3 = 500, labels at X(30,125,220,315) - 4.
  const int xs[] = {20, 96, 172, 248};
  const Rgb colors[] = {kChanged, kOff, kWhite, kOff};
  for (int i = 0; i < 4; ++i) {
    const std::string at = "@" + std::to_string(xs[i]) + ",500";
    EXPECT_THAT(canvas.Placed({xs[i], 500, xs[i] + 1, 501}),
                ElementsAreArray({std::string(22, ' ') + at,
                                  DecodeCp932(labels[static_cast<std::size_t>(i)]) + at}));
    EXPECT_EQ(canvas.TextAt(xs[i], 500)->color, colors[i]) << i;
  }
}

TEST_F(ControlPanelTest, EmptyVisibleListBlanksTheLevelValuesAndSlotPosition) {
  state.visiblePointCount = 0;
  Draw();
  // 800 x 600: row 1 = 466; X(502) = 401, X(605) = 484, X(690) + 8u = 568.
  const DrawCall* importance = canvas.TextAt(401, 466);
  const DrawCall* memorisation = canvas.TextAt(484, 466);
  const DrawCall* slot = canvas.TextAt(568, 466);
  EXPECT_EQ(importance->utf8, "重要度変更=    ");
  EXPECT_EQ(memorisation->utf8, "記憶度変更=    ");
  EXPECT_EQ(slot->utf8, "ファイル位置=     ");
  for (const DrawCall* c : {importance, memorisation, slot}) EXPECT_EQ(c->color, kOff);
  // Spaces over a glyph leave slivers of it: the old values are never drawn.
  EXPECT_EQ(canvas.TextsAt(401, 466).size(), 1u);
  EXPECT_EQ(canvas.TextsAt(484, 466).size(), 1u);
  EXPECT_EQ(canvas.TextsAt(568, 466).size(), 1u);
}

TEST_F(ControlPanelTest, SlotPositionOnlyForADigit) {
  state.selectedSlotDigit = '9';
  Draw();
  EXPECT_EQ(Last("ファイル位置=⑩").color, kOff);
  for (char digit : {'\0', 'a', '/', ':', '\x82'}) {
    state.selectedSlotDigit = digit;
    Draw();
    EXPECT_FALSE(DrawnStartingWith("ファイル位置=")) << static_cast<int>(digit);
  }
}

TEST_F(ControlPanelTest, LargeTextLeavesTheBackgroundAndUses14Pixels) {
  state.settings.textSize = TextSize::kLarge;
  Draw();
  // Only the bands and, in grey, the text cells that blanked values leave.
  int bands = 0;
  for (const DrawCall* f : canvas.Fills()) {
    if (f->color == kGrey) {
      EXPECT_EQ(f->y2 - f->y, 14);
    } else {
      ++bands;
    }
  }
  EXPECT_EQ(bands, 4);
  // "[設定]" and its blanks replace the wider "[実行] [中止]": the row is
  // erased from "[設定]" to the right edge first.
  const PanelRect edit = AreaRect(state.layout, PanelArea::kEditSetExecute);
  bool erased = false;
  for (const DrawCall* f : canvas.Fills()) {
    erased = erased || (f->x == edit.left && f->y == edit.top && f->x2 == state.layout.W);
  }
  EXPECT_TRUE(erased);
  ExpectEveryTextOnTop();
  for (const DrawCall* c : canvas.Texts()) EXPECT_EQ(c->fontHeight, 14);
  EXPECT_EQ(Last("表示文字大").color, kWhite);
}

TEST_F(ControlPanelTest, SwitchedSettingsShowTheirOtherTextsAndColours) {
  DisplaySettings& d = state.settings;
  d.importanceFilter[2] = 0;
  d.showImportance = d.showMemo2 = 0;
  d.yearDisplayMode = YearDisplayMode::kYear;
  d.pointDisplayMode = PointDisplayMode::kHidden;
  state.contentEditMode = 1;
  state.stateDescriptionShown = 1;
  Draw();
  // 800 x 600: rows 466 and 483; X(30) + 27u = 78, X(120) = 96.
  EXPECT_EQ(canvas.TextAt(78, 466)->color, kOff);
  EXPECT_EQ(canvas.TextAt(96, 483)->utf8, "重要度表示");
  EXPECT_EQ(canvas.TextAt(96, 483)->color, kOff);
  EXPECT_EQ(Last("メモ2表示").color, kOff);
  EXPECT_EQ(Last("メモ1表示   ").color, kWhite);
  EXPECT_EQ(canvas.TextAt(602, 483)->utf8, "年表示");  // X(690) + 25u
  EXPECT_EQ(Last("内容変更の[実行] [中止]").color, kWhite);
  EXPECT_FALSE(DrawnStartingWith("[設定]"));
  EXPECT_EQ(Last("保存/入力").color, kWhite);
  EXPECT_EQ(Last("ポイントの非表示").color, kOff);
}

TEST_F(ControlPanelTest, ValuesOutOfTheirRangeAreShownAsTheyAre) {
  // As an edited state file may bring them.
  state.rangeIndex = 25;
  state.settings.brightness = 0;
  Draw();
  EXPECT_NE(canvas.LastText(" レンジ= 25 "), nullptr);
  EXPECT_NE(canvas.LastText("明度=0"), nullptr);
}

TEST_F(ControlPanelTest, StopwatchInItsThreeStates) {
  // 800 x 600: row 4 = 516, marker X(190) = 152, text X(205) = 164.
  stopwatch.Count(75'000);  // ticks count while idle too
  nowMs = 75'000;
  Draw();
  EXPECT_EQ(canvas.TextAt(152, 516)->utf8, "   ");
  EXPECT_EQ(canvas.TextAt(164, 516)->utf8, "タイマー= 0分0秒");
  EXPECT_EQ(canvas.TextAt(164, 516)->color, kOff);

  stopwatch.StopwatchClick(nowMs);
  stopwatch.Count(nowMs + 125'000);
  Draw();
  EXPECT_EQ(canvas.TextAt(152, 516)->utf8, "■");
  EXPECT_EQ(canvas.TextAt(152, 516)->color, kWhite);
  EXPECT_THAT(canvas.Placed({164, 516, 165, 517}),
              ElementsAreArray({"タイマー=             @164,516", "タイマー= 2分5秒@164,516"}));
  EXPECT_EQ(canvas.TextAt(164, 516)->color, kWhite);

  stopwatch.StopwatchClick(nowMs + 126'000);
  stopwatch.Count(nowMs + 200'000);
  Draw();
  EXPECT_EQ(canvas.TextAt(152, 516)->utf8, "   ");
  EXPECT_EQ(canvas.TextAt(164, 516)->utf8, "タイマー= 2分5秒");
  EXPECT_EQ(canvas.TextAt(164, 516)->color, kOff);
}

TEST_F(ControlPanelTest, ClockTickShowsTheTimeAndWhileRunningBlinksTheCount) {
  auto tick = [&](std::int64_t ms, TextSize textSize) {
    canvas.Clear();
    const bool marker = stopwatch.Tick(ms);
    DrawClockTick(canvas, state.layout, textSize, clock, stopwatch, marker);
  };
  tick(1'000, TextSize::kLarge);
  // Idle: the clock only.
  EXPECT_THAT(canvas.Placed(), ElementsAreArray({"2026年12月08日09時05分@12,516"}));
  const DrawCall* time = canvas.TextAt(12, 516);
  EXPECT_EQ(time->color, kWhite);
  EXPECT_EQ(time->background, kGrey);
  EXPECT_EQ(time->fontHeight, 14);

  stopwatch.StopwatchClick(0);
  std::vector<std::string> markers;
  for (std::int64_t s = 124; s <= 127; ++s) {
    tick(s * 1000 + 10, TextSize::kSmall);
    markers.push_back(canvas.TextAt(152, 516)->utf8);
    EXPECT_THAT(canvas.Placed({164, 516, 165, 517}),
                ElementsAreArray({std::string("タイマー=             @164,516"),
                                  "タイマー= 2分" + std::to_string(s - 120) + "秒@164,516"}));
    EXPECT_EQ(canvas.TextAt(164, 516)->fontHeight, 12);
  }
  EXPECT_THAT(markers, ElementsAreArray({"   ", "■", "   ", "■"}));

  stopwatch.StopwatchClick(128'000);
  tick(129'000, TextSize::kSmall);
  EXPECT_EQ(canvas.Texts().size(), 1u);  // stopped: the frozen time stays as the panel drew it
}

// Drawn over the panel as last drawn, a change shows what the whole panel
// drawn anew shows, and only the texts of its row from the part that changed
// on are drawn again; a redraw that changes nothing draws no text.
TEST_F(ControlPanelTest, ARedrawOverThePanelShownDrawsOnlyWhatChanged) {
  struct Case {
    const char* name;
    std::function<void(ControlPanelState&)> change;
    std::size_t mostTexts;
  };
  const std::vector<Case> cases = {
      {"nothing", [](ControlPanelState&) {}, 0},
      {"selection", [](ControlPanelState& s) { s.selectedImportanceText = "⑤"_sj; }, 8},
      {"no points", [](ControlPanelState& s) { s.visiblePointCount = 0; }, 8},
      {"range", [](ControlPanelState& s) { s.rangeIndex = 3; }, 3},
      {"slot", [](ControlPanelState& s) { s.slots[8].changed = true; }, 4},
      {"filter", [](ControlPanelState& s) { s.settings.importanceFilter[2] = 0; }, 40},
      {"text size", [](ControlPanelState& s) { s.settings.textSize = TextSize::kLarge; }, 200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ControlPanelState changed = state;
    c.change(changed);
    RecordingCanvas whole;
    Stopwatch wholeWatch;
    DrawControlPanel(whole, changed, wholeWatch, nowMs);

    ControlPanelPicture shown;
    canvas.Clear();
    DrawControlPanel(canvas, state, stopwatch, nowMs, shown);
    const std::size_t before = canvas.Texts().size();
    DrawControlPanel(canvas, changed, stopwatch, nowMs, shown);
    EXPECT_LE(canvas.Texts().size() - before, c.mostTexts);
    for (const DrawCall* text : whole.Texts()) {
      const DrawCall* seen = canvas.TextAt(text->x, text->y);
      ASSERT_NE(seen, nullptr) << text->utf8;
      EXPECT_EQ(seen->utf8, whole.TextAt(text->x, text->y)->utf8);
      EXPECT_EQ(seen->color, whole.TextAt(text->x, text->y)->color) << seen->utf8;
    }
  }
}

}  // namespace
}  // namespace qev
