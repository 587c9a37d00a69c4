#include "panel/control_panel.h"

#include <algorithm>
#include <string>
#include <utility>

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

using Stroke = ControlPanelPicture::Stroke;
using Row = ControlPanelPicture::Row;

// Writes the panel's texts in one font on the panel grey, as strokes of a
// row, reusing the row's room, so a redraw allocates almost nothing.
class PanelWriter {
 public:
  explicit PanelWriter(Row& row) : row_(row) {
    row_.parts.clear();
    count_ = 0;
  }
  ~PanelWriter() { row_.strokes.resize(count_); }
  PanelWriter(const PanelWriter&) = delete;
  PanelWriter& operator=(const PanelWriter&) = delete;

  // What follows begins a part of the row: nothing drawn before it reaches
  // what the part draws.
  void Part() { row_.parts.push_back(count_); }

  void Text(int x, int y, std::string_view text, Rgb color) {
    Stroke& s = Next(true, x, y, color);
    s.bytes.assign(text);
  }
  void Text(int x, int y, std::string_view head, std::string_view tail, Rgb color) {
    Stroke& s = Next(true, x, y, color);
    s.bytes.assign(head);
    s.bytes.append(tail);
  }
  // Erases what an earlier redraw wrote from x = left to right on the text
  // row at y. Blanks drawn as spaces are narrower than the glyphs they
  // replace and would leave slivers of them.
  void Clear(int left, int y, int right) {
    Stroke& s = Next(false, left, y, kPanelBackground);
    s.right = right;
    s.bytes.clear();
  }
  // At the top-left of a label's click rectangle, where most labels sit.
  template <typename... Texts>
  void Text(const ScreenLayout& l, PanelArea area, const Texts&... texts) {
    const PanelRect r = AreaRect(l, area);
    Text(r.left, r.top, texts...);
  }

 private:
  Stroke& Next(bool text, int x, int y, Rgb color) {
    if (row_.parts.empty()) row_.parts.push_back(0);
    if (count_ == row_.strokes.size()) row_.strokes.emplace_back();
    Stroke& s = row_.strokes[count_++];
    s.text = text;
    s.x = x;
    s.y = y;
    s.right = 0;
    s.color = color;
    return s;
  }

  Row& row_;
  std::size_t count_ = 0;
};

// Draws the strokes of `row` from `from` on, in one font on the panel grey.
// `clears`: whether erased strips are erased; a redraw that has just filled
// where they lie has nothing left to erase.
void DrawStrokes(Canvas& canvas, const Row& row, std::size_t from, TextSize textSize, bool clears) {
  const int cellHeight = textSize == TextSize::kSmall ? 12 : 14;
  canvas.SetFont(kPanelFace, cellHeight);
  canvas.SetBackgroundColor(kPanelBackground);
  for (std::size_t i = from; i < row.strokes.size(); ++i) {
    const Stroke& s = row.strokes[i];
    if (s.text) {
      canvas.SetTextColor(s.color);
      canvas.TextOut(s.x, s.y, s.bytes);
    } else if (clears) {
      canvas.FillRect(s.x, s.y, s.right, s.y + cellHeight, kPanelBackground);
    }
  }
}

// The first stroke of `now` to draw over `before`: the start of the first
// part that differs, or the end when none does.
std::size_t FirstChanged(const Row& before, const Row& now) {
  if (!before.drawn) return 0;
  for (std::size_t p = 0; p < now.parts.size(); ++p) {
    const std::size_t begin = now.parts[p];
    const std::size_t end = p + 1 < now.parts.size() ? now.parts[p + 1] : now.strokes.size();
    if (p >= before.parts.size()) return begin;
    const std::size_t oldBegin = before.parts[p];
    const std::size_t oldEnd =
        p + 1 < before.parts.size() ? before.parts[p + 1] : before.strokes.size();
    if (begin != oldBegin || end != oldEnd ||
        !std::equal(now.strokes.begin() + static_cast<std::ptrdiff_t>(begin),
                    now.strokes.begin() + static_cast<std::ptrdiff_t>(end),
                    before.strokes.begin() + static_cast<std::ptrdiff_t>(oldBegin))) {
      return begin;
    }
  }
  return before.strokes.size() == now.strokes.size() ? now.strokes.size() : 0;
}

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
  w.Part();
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

  w.Part();
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
    w.Part();
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
  w.Part();
  DrawStopwatch(w, l, stopwatch, nowMs);
  w.Part();
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
                      std::int64_t nowMs, ControlPanelPicture& shown) {
  const ScreenLayout& l = state.layout;
  const TextSize textSize = state.settings.textSize;
  canvas.Reset();
  // With the small font the whole panel is painted first; with the large
  // one the labels only cover their own areas.
  const bool small = textSize == TextSize::kSmall;
  const bool whole = !shown.drawn_ || shown.layout_.W != l.W || shown.layout_.H != l.H ||
                     shown.textSize_ != textSize;
  if (whole) {
    if (small) canvas.FillRect(0, l.Y(775), l.W, l.H, kPanelBackground);
    for (Row& row : shown.rows_) row.drawn = false;
  }
  for (int r = 0; r < ControlPanelPicture::kRows; ++r) {
    Row& before = shown.rows_[static_cast<std::size_t>(r)];
    Row& now = shown.next_;
    {
      PanelWriter w(now);
      switch (r) {
        case 0:
          DrawRow1(w, state);
          break;
        case 1:
          DrawRow2(w, state);
          break;
        case 2:
          DrawSlotLabels(w, state);
          break;
        default:
          DrawRow4(w, state, stopwatch, nowMs);
          break;
      }
    }
    const std::size_t from = FirstChanged(before, now);
    if (from < now.strokes.size()) {
      // Over the small font's grey the row is painted again from where the
      // part begins, as the whole panel would be.
      if (small && !whole) {
        int left = l.W;
        for (std::size_t i = from; i < now.strokes.size(); ++i) {
          left = std::min(left, now.strokes[i].x);
        }
        const int y = now.strokes[from].y;
        canvas.FillRect(left, y, l.W, y + 12, kPanelBackground);
      }
      DrawStrokes(canvas, now, from, textSize, !small);
    }
    now.drawn = true;
    std::swap(before, now);
  }
  if (whole) {
    for (std::size_t i = 0; i < kBands.size(); ++i) {
      const int top = 890 + 15 * static_cast<int>(i);
      canvas.FillRect(l.X(10), l.Y(top), l.X(990), l.Y(top + 15), kBands[i]);
    }
  }
  shown.drawn_ = true;
  shown.layout_ = l;
  shown.textSize_ = textSize;
}

void DrawControlPanel(Canvas& canvas, const ControlPanelState& state, Stopwatch& stopwatch,
                      std::int64_t nowMs) {
  ControlPanelPicture fresh;
  DrawControlPanel(canvas, state, stopwatch, nowMs, fresh);
}

void DrawClockTick(Canvas& canvas, const ScreenLayout& layout, TextSize textSize,
                   std::string_view clockText, const Stopwatch& stopwatch, bool markerShown) {
  const int y = layout.row4();
  canvas.Reset();
  Row row;
  {
    PanelWriter w(row);
    w.Text(layout.X(15), y, clockText, kPanelOn);
    if (stopwatch.stopwatchState() == Stopwatch::State::kRunning) {
      w.Clear(layout.X(190), y, layout.X(330));
      w.Text(layout, PanelArea::kStopwatch, "タイマー=             "_sj, kPanelOn);
      w.Text(layout.X(190), y, markerShown ? "■"_sj : "   "_sj, kPanelOn);
      w.Text(layout, PanelArea::kStopwatch, stopwatch.DisplayText(), kPanelOn);
    }
  }
  DrawStrokes(canvas, row, 0, textSize, true);
}

}  // namespace qev
