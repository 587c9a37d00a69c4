#pragma once

#include <string_view>

#include "settings/display_settings.h"

namespace qev {

// Whether an event with these level characters becomes a point: only the
// level of the kind the priority names counts (importance under 重要度優先,
// memorisation under 記憶度優先), and it must be "1".."5" with its filter on.
bool PassesFilter(const DisplaySettings& settings, char importance, char memorisation);

// The same for an event line, from its level characters; a line too short
// to hold them never passes.
bool PassesFilter(const DisplaySettings& settings, std::string_view eventLine);

}  // namespace qev
