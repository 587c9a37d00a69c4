#include "panel/control_panel.h"

#include <string>

#include "panel/panel_areas.h"
#include "text/circled.h"
#include "text/cp932.h"

namespace qev {

namespace {

constexpr std::array<Rgb, 4> kBands{{{128, 128, 128}, {104, 104, 104}, {88, 88, 88}, {72, 72, 72}}};
// Offsets in u of the "+" between the level marks after a filter's column.
constexpr std::array<int, 4> kLevelPlusSteps{23, 34, 45, 56};

Rgb OnOff(bool on) {
  return on ? kPanelOn : kPanelOff;
}

// Draws the panel's texts in one font on the panel grey. Texts that are not
// literals go through one reused buffer, so a redraw allocates almost nothing.
class PanelWriter {
 public:
  // `clears`: whether Clear erases; a redraw that has just filled the
  // whole panel has nothing left to erase.
  PanelWriter(Canvas& canvas, TextSize textSize, bool clears)
      : canvas_(canvas), cellHeight_(textSize == TextSize::kSmall ? 12 : 14), clears_(clears) {
    canvas_.SetFont(kPanelFace, cellHeight_);
    canvas_.SetBackgroundColor(kPanelBackground);
    canvas_.SetTextColor(kPanelOn);
  }

  void Text(int x, int y, const Sjis& text, Rgb color) {
    canvas_.SetTextColor(color);
    canvas_.TextOut(x, y, text);
  }
  void Text(int x, int y, std::string_view text, Rgb color) {
    buffer_.assign(text);
    Text(x, y, buffer_, color);
  }
  void Text(int x, int y, std::string_view head, std::string_view tail, Rgb color) {
    buffer_.assign(head);
    buffer_.append(tail);
    Text(x, y, buffer_, color);
  }
  // Erases what an earlier redraw wrote from x = left to right on the text
  // row at y. Blanks drawn as spaces are narrower than the glyphs they
  // replace and would leave slivers of them.
  void Clear(int left, int y, int right) {
    if (clears_) canvas_.FillRect(left, y, right, y + cellHeight_, kPanelBackground);
  }
  // At the top-left of a label's click rectangle, where most labels sit.
  template <typename... Texts>
  void Text(const ScreenLayout& l, PanelArea area, const Texts&... texts) {
    const PanelRect r = AreaRect(l, area);
    Text(r.left, r.top, texts...);
  }

 private:
  Canvas& canvas_;
  int cellHeight_;
  bool clears_;
  Sjis buffer_;
};

void DrawLevelFilter(PanelWriter& w, const ScreenLayout& l, int labelX, int marksX,
                     const Sjis& label, const std::array<int, 6>& filter,
                     PanelArea (*markArea)(int)) {
  const int y = l.row1();
  w.Text(labelX, y, label, kPanelOn);
  for (int k = 1; k <= 5; ++k) w.Text(l, markArea(k), CircledNumber(k), OnOff(filter[k] == 1));
  for (int step : kLevelPlusSteps) w.Text(marksX + step * l.u(), y, "+"_sj, kPanelOff);
}

void DrawRow1(PanelWriter& w, const ControlPanelState& s) {
  const ScreenLayout& l = s.layout;
  const int u = l.u();
  const int y = l.row1();
  DrawLevelFilter(w, l, l.X(15), l.X(30), "重要度="_sj, s.settings.importanceFilter,
                  ImportanceArea);
  DrawLevelFilter(w, l, l.X(205), l.X(220), "記憶度="_sj, s.settings.memorisationFilter,
                  MemorisationArea);

  w.Text(l, PanelArea::kPriority,
         s.settings.filterPriority == 1 ? "記憶度優先"_sj : "重要度優先"_sj, kPanelOn);

  // Without a visible point the level values are blanked; they are then not
  // drawn at all, since spaces over a glyph would leave slivers of it.
  if (s.visiblePointCount > 0) {
    w.Text(l.X(502), y, "重要度変更="_sj, kPanelOn);
    w.Text(l, PanelArea::kImportanceChange, s.selectedImportanceText, " ", kPanelOn);
    w.Text(l.X(605), y, "記憶度変更="_sj, kPanelOn);
    w.Text(l, PanelArea::kMemorisationChange, s.selectedMemorisationText, " ", kPanelOn);
    const char digit = s.selectedSlotDigit;
    if (digit >= '0' && digit <= '9') {
      w.Text(l.X(690) + 8 * u, y, "ファイル位置="_sj, CircledNumber(digit - '0' + 1), kPanelOff);
    }
  } else {
    w.Clear(l.X(502), y, l.X(820));
    w.Text(l.X(502), y, "重要度変更=    "_sj, kPanelOff);
    w.Text(l.X(605), y, "記憶度変更=    "_sj, kPanelOff);
    w.Text(l.X(690) + 8 * u, y, "ファイル位置=     "_sj, kPanelOff);
  }

  if (!s.contentEditMode) {
    // The six spaces after "[設定]" are narrower than the "[実行] [中止]"
    // they replace in the large font.
    w.Clear(AreaRect(l, PanelArea::kEditSetExecute).left, y, l.W);
    w.Text(l.X(820), y, "内容変更の"_sj, kPanelOff);
    w.Text(l, PanelArea::kEditSetExecute, "[設定]      "_sj, kPanelOn);
  } else {
    w.Text(l.X(820), y, "内容変更の[実行] [中止]"_sj, kPanelOn);
  }
}

void DrawRow2(PanelWriter& w, const ControlPanelState& s) {
  const ScreenLayout& l = s.layout;
  const DisplaySettings& d = s.settings;
  const int u = l.u();
  const int y = l.row2();
  // The texts of a switched-on display are longer so that they cover the
  // shorter off text and vice versa.
  auto toggle = [&](PanelArea area, int flag, const Sjis& onText, const Sjis& offText) {
    w.Text(l, area, flag == 1 ? onText : offText, OnOff(flag == 1));
  };
  toggle(PanelArea::kShowYear, YearsShown(d).date ? 1 : 0, " 歴史年代表示"_sj, " 歴史年代表示"_sj);
  toggle(PanelArea::kShowImportance, d.showImportance, "重要度表示   "_sj, "重要度表示"_sj);
  toggle(PanelArea::kShowMemorisation, d.showMemorisation, "記憶度表示   "_sj, "記憶度表示"_sj);
  toggle(PanelArea::kShowEventLeft, d.showEventLeft, "できごと表示   "_sj, "できごと表示"_sj);
  w.Text(l, PanelArea::kRandom, "ランダム選択"_sj, kPanelOn);
  toggle(PanelArea::kShowEventRight, d.showEventRight, "できごと表示   "_sj, "できごと表示"_sj);
  toggle(PanelArea::kShowMemo1, d.showMemo1, "メモ1表示   "_sj, "メモ1表示"_sj);
  toggle(PanelArea::kShowMemo2, d.showMemo2, "メモ2表示   "_sj, "メモ2表示"_sj);
  // "年表示" sits 3u inside the rectangle that "範囲表示" starts.
  if (d.yearDisplayMode == YearDisplayMode::kYear) {
    w.Text(l.X(690) + 25 * u, y, "年表示"_sj, kPanelOn);
  } else {
    w.Text(l, PanelArea::kYearDisplayMode, "範囲表示"_sj, kPanelOn);
  }

  w.Clear(AreaRect(l, PanelArea::kRange).left, y, l.X(900));
  w.Text(l, PanelArea::kRange, "    　　　 　　 "_sj, kPanelOn);
  w.Text(l, PanelArea::kRange, " レンジ= "_sj, std::to_string(s.rangeIndex) + ' ', kPanelOn);
  w.Text(l, PanelArea::kUnit, "単位=1年"_sj, kPanelOn);
}

void DrawSlotLabels(PanelWriter& w, const ControlPanelState& s) {
  const ScreenLayout& l = s.layout;
  static const Sjis kBlank(22, ' ');
  for (int i = 0; i < EventStore::kSlotCount; ++i) {
    const SlotLabelState& slot = s.slots[static_cast<std::size_t>(i)];
    Rgb color = kPanelOff;
    if (slot.loaded && slot.on) color = slot.changed ? kPanelChanged : kPanelOn;
    const int x = SlotColumn(l, i) - 2 * l.u();
    const int next = i + 1 < EventStore::kSlotCount ? SlotColumn(l, i + 1) - 2 * l.u() : l.X(990);
    w.Clear(x, l.row3(), next);
    w.Text(x, l.row3(), kBlank, color);
    w.Text(x, l.row3(), slot.label, color);
  }
}

void DrawStopwatch(PanelWriter& w, const ScreenLayout& l, Stopwatch& stopwatch,
                   std::int64_t nowMs) {
  const int y = l.row4();
  w.Clear(l.X(190), y, l.X(330));
  w.Text(l, PanelArea::kStopwatch, "タイマー=             "_sj, kPanelOn);
  stopwatch.HoldIdleAtZero(nowMs);
  const bool running = stopwatch.stopwatchState() == Stopwatch::State::kRunning;
  w.Text(l.X(190), y, running ? "■"_sj : "   "_sj, OnOff(running));
  w.Text(l, PanelArea::kStopwatch, stopwatch.DisplayText(), OnOff(running));
}

void DrawRow4(PanelWriter& w, const ControlPanelState& s, Stopwatch& stopwatch,
              std::int64_t nowMs) {
  const ScreenLayout& l = s.layout;
  const DisplaySettings& d = s.settings;
  w.Text(l.X(15), l.row4(), s.clockText, kPanelOn);
  DrawStopwatch(w, l, stopwatch, nowMs);
  w.Text(l, PanelArea::kStateLabel, !s.stateDescriptionShown ? "動作状態"_sj : "保存/入力"_sj,
         kPanelOn);
  switch (d.pointDisplayMode) {
    case PointDisplayMode::kHidden:
      w.Text(l, PanelArea::kPointDisplayMode, "ポイントの非表示"_sj, kPanelOff);
      break;
    case PointDisplayMode::kAll:
      w.Text(l, PanelArea::kPointDisplayMode, "ポイントの全表示"_sj, kPanelOn);
      break;
    case PointDisplayMode::kSelectedOnly:
      w.Text(l, PanelArea::kPointDisplayMode, "  1 ポイント表示  "_sj, kPanelOn);
      break;
  }
  w.Text(l, PanelArea::kTextSize,
         d.textSize == TextSize::kSmall ? "表示文字小"_sj : "表示文字大"_sj, kPanelOn);
  w.Text(l, PanelArea::kDiagram, "Q E V ライン式 暗記法機能図"_sj, kPanelOn);
  w.Text(l, PanelArea::kHelp, "暗記法の機能説明"_sj, kPanelOn);
  w.Text(l, PanelArea::kBrightness, "明度="_sj, std::to_string(d.brightness), kPanelOn);
}

}  // namespace

void DrawControlPanel(Canvas& canvas, const ControlPanelState& state, Stopwatch& stopwatch,
                      std::int64_t nowMs) {
  const ScreenLayout& l = state.layout;
  canvas.Reset();
  // With the large font the labels only cover their own areas.
  const bool fillsPanel = state.settings.textSize == TextSize::kSmall;
  if (fillsPanel) canvas.FillRect(0, l.Y(775), l.W, l.H, kPanelBackground);
  PanelWriter w(canvas, state.settings.textSize, !fillsPanel);
  DrawRow1(w, state);
  DrawRow2(w, state);
  DrawSlotLabels(w, state);
  DrawRow4(w, state, stopwatch, nowMs);
  for (std::size_t i = 0; i < kBands.size(); ++i) {
    const int top = 890 + 15 * static_cast<int>(i);
    canvas.FillRect(l.X(10), l.Y(top), l.X(990), l.Y(top + 15), kBands[i]);
  }
}

void DrawClockTick(Canvas& canvas, const ScreenLayout& layout, TextSize textSize,
                   std::string_view clockText, const Stopwatch& stopwatch, bool markerShown) {
  const int y = layout.row4();
  canvas.Reset();
  PanelWriter w(canvas, textSize, true);
  w.Text(layout.X(15), y, clockText, kPanelOn);
  if (stopwatch.stopwatchState() != Stopwatch::State::kRunning) return;
  w.Clear(layout.X(190), y, layout.X(330));
  w.Text(layout, PanelArea::kStopwatch, "タイマー=             "_sj, kPanelOn);
  w.Text(layout.X(190), y, markerShown ? "■"_sj : "   "_sj, kPanelOn);
  w.Text(layout, PanelArea::kStopwatch, stopwatch.DisplayText(), kPanelOn);
}

}  // namespace qev
