#pragma once

#include "platform/platform.h"
#include "text/cp932.h"

namespace qev {

// The date and time as the clock shows it and as file headers record it,
// zero-padded: "2026年12月08日09時05分".
Sjis FormatClockText(const LocalTime& time);

}  // namespace qev
