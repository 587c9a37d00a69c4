#pragma once

#include <vector>

#include "platform/platform.h"

namespace qev {

// Menu 132 for a slot without a file, menu 134 for one with a file.
std::vector<MenuItem> SlotMenu(bool loaded);

// Menu 135 of the "保存/入力" label while the state text is shown.
std::vector<MenuItem> StateMenu();

}  // namespace qev
