#pragma once

#include "panel/panel_areas.h"

namespace qev {

// The control-panel area of slot k's label (0..9).
inline PanelArea SlotArea(int k) {
  return static_cast<PanelArea>(static_cast<int>(PanelArea::kSlot1) + k);
}

}  // namespace qev
