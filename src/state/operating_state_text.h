#pragma once

#include "model/operating_state.h"
#include "text/cp932.h"

namespace qev {

// The state text as the right information panel shows it and the state file
// stores it: lines 0 to 53, each ending in CR LF. Line 0 is the header line
// with `stateTitle` and `clockText`; lines 1 to 4 are the machine part, the
// rest describes every setting for the user and carries the slots' names.
Sjis ComposeStateText(const OperatingState& state, const Sjis& stateTitle, const Sjis& clockText);

// Reads a state text back: the digits of lines 1 to 4 and the base names of
// lines 38 to 47; every other line is documentation only. Labels go back to
// "ファイル①".."ファイル⑩" and selectedIndex to 0. A setting whose line is
// absent keeps its value from `current`. Every value comes back within its
// set (flags: only 1 is on; range 0..20, POS 0..700, pointDisplayMode 0..2,
// brightness 1..5), so the result is always safe to apply. The
// caller applies rangeIndex with TimelineScale::SetRange and savedScrollPos
// with TimelineScale::ScrollTo and the scroll bar's thumb.
OperatingState ReadOperatingState(const Sjis& text, const OperatingState& current);

}  // namespace qev
