#pragma once

#include <array>
#include <cstdint>
#include <string_view>

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

// Repaints the whole control panel (rows 1 to 4 and the bands under them) on
// the view canvas. The one state it changes: an idle stopwatch is held at
// zero from `nowMs` (steady milliseconds), so it shows 0分0秒.
void DrawControlPanel(Canvas& canvas, const ControlPanelState& state, Stopwatch& stopwatch,
                      std::int64_t nowMs);

// The once-a-second tick on the view canvas, after Stopwatch::Tick: the
// clock text and, while the stopwatch runs, its marker (when `markerShown`)
// and time.
void DrawClockTick(Canvas& canvas, const ScreenLayout& layout, TextSize textSize,
                   std::string_view clockText, const Stopwatch& stopwatch, bool markerShown);

}  // namespace qev
