#pragma once

#include <string_view>

#include "settings/display_settings.h"
#include "text/cp932.h"

namespace qev {

// What the information panels show for the selected point, and what they
// hand to the control panel.
struct InfoPanelsContent {
  Sjis left;   // date line, plus in 範囲表示 the range and period line
  Sjis right;  // できごと, メモ1, メモ2 under their labels
  // The level symbols (○, ①..⑤ or what the line holds), or three spaces when
  // the level is not handed to the control panel.
  Sjis selectedImportanceText;
  Sjis selectedMemorisationText;
  // The levels the level-change buttons start from: 1..5 for ①..⑤, else the
  // previous value.
  int importanceChange = 1;
  int memorisationChange = 1;
  // The slot number character of the point ("0".."9" for a sound key);
  // '\0' when the key has nothing after its first ";".
  char selectedSlotDigit = '\0';
};

// Composes both panels from the selected point's event line in display form
// (FormatPointLine), the display toggles and the point's PointList key
// (head;slot;line;date;). `importanceChange` and `memorisationChange` are the
// current values, kept when the line holds no ①..⑤.
InfoPanelsContent ComposeInfoPanels(std::string_view displayLine, const DisplaySettings& settings,
                                    std::string_view pointKey, int importanceChange,
                                    int memorisationChange);

}  // namespace qev
