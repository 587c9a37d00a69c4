#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "events/event_store.h"
#include "model/stopwatch.h"
#include "panel/panel_areas.h"
#include "platform/canvas.h"
#include "platform/screen_layout.h"
#include "settings/display_settings.h"

namespace qev {

// Colours and face of the control panel's labels.
inline constexpr Rgb kPanelBackground{152, 152, 152};
inline constexpr Rgb kPanelOn{255, 255, 255};
inline constexpr Rgb kPanelOff{96, 96, 96};
inline constexpr Rgb kPanelChanged{192, 96, 96};
inline constexpr std::string_view kPanelFace = "MS P明朝";

// How one FileSlot label is shown: white when loaded and on (reddish while it
// holds unsaved changes), grey otherwise.
struct SlotLabelState {
  std::string_view label;  // CP932
  bool loaded = false;
  bool on = false;
  bool changed = false;
};

// Everything the control panel shows but the stopwatch. Texts are CP932 and
// only borrowed for the call.
struct ControlPanelState {
  ScreenLayout layout;
  DisplaySettings settings;
  int rangeIndex = 7;
  std::array<SlotLabelState, EventStore::kSlotCount> slots;
  // The selected point's level symbols ("①".."⑤", or three spaces when the
  // level display is off) and its slot digit ('0'..'9'; anything else shows
  // no slot position).
  std::string_view selectedImportanceText;
  std::string_view selectedMemorisationText;
  char selectedSlotDigit = '\0';
  int visiblePointCount = 0;
  bool contentEditMode = false;
  bool stateDescriptionShown = false;
  // The local time of this redraw as FormatClockText gives it.
  std::string_view clockText;
};

// What the control panel shows as it was last drawn, row by row. Reshaping
// a text costs more than anything else a click draws, and most clicks
// change a few texts of one row: a redraw draws a row again only from the
// first of its parts that comes out differently, and leaves the rest, which
// shows already what it would draw.
class ControlPanelPicture {
 public:
  static constexpr int kRows = 4;

  // One text or erased strip, as the panel draws it.
  struct Stroke {
    bool text = false;  // a text, or a strip erased to the panel grey
    int x = 0;
    int y = 0;
    int right = 0;  // of an erased strip
    Rgb color;
    Sjis bytes;
    friend bool operator==(const Stroke&, const Stroke&) = default;
  };
  // A row's strokes in drawing order, and where each of its parts begins.
  struct Row {
    std::vector<Stroke> strokes;
    std::vector<std::size_t> parts;
    bool drawn = false;
  };

  // The next redraw draws the whole panel.
  void Forget() { drawn_ = false; }
  // The next redraw draws row `row` (0 to 3) whole: something else drew on it.
  void ForgetRow(int row) { rows_[static_cast<std::size_t>(row)].drawn = false; }

 private:
  friend void DrawControlPanel(Canvas&, const ControlPanelState&, Stopwatch&, std::int64_t,
                               ControlPanelPicture&);
  bool drawn_ = false;
  ScreenLayout layout_;
  TextSize textSize_ = TextSize::kSmall;
  std::array<Row, kRows> rows_;
  // The row being made, swapped with the one it replaces.
  Row next_;
};

// Repaints the control panel (rows 1 to 4 and the bands under them) on the
// view canvas, over `shown`, what it showed before, and keeps in it what it
// shows now. The one state it changes: an idle stopwatch is held at zero
// from `nowMs` (steady milliseconds), so it shows 0分0秒.
void DrawControlPanel(Canvas& canvas, const ControlPanelState& state, Stopwatch& stopwatch,
                      std::int64_t nowMs, ControlPanelPicture& shown);
// The whole panel drawn anew.
void DrawControlPanel(Canvas& canvas, const ControlPanelState& state, Stopwatch& stopwatch,
                      std::int64_t nowMs);

// The once-a-second tick on the view canvas, after Stopwatch::Tick: the
// clock text and, while the stopwatch runs, its marker (when `markerShown`)
// and time.
void DrawClockTick(Canvas& canvas, const ScreenLayout& layout, TextSize textSize,
                   std::string_view clockText, const Stopwatch& stopwatch, bool markerShown);

}  // namespace qev
