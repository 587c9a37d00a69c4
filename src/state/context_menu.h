#pragma once

#include <optional>
#include <vector>

#include "platform/platform.h"
#include "platform/screen_layout.h"

namespace qev {

// The slot whose label holds the view point (x, y): x from Xk − 4u to
// Xk + 36u, y from row 3 to row 3 + 12v. Neighbouring rectangles overlap by
// a few pixels at some widths; the left label wins, so one click opens one
// menu.
std::optional<int> SlotLabelAt(const ScreenLayout& layout, int x, int y);

// Menu 132 for a slot without a file, menu 134 for one with a file.
std::vector<MenuItem> SlotMenu(bool loaded);

}  // namespace qev
