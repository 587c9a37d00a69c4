#pragma once

#include "text/cp932.h"

namespace qev {

// The circled number "①".."⑩" for n = 1..10, as CP932.
const Sjis& CircledNumber(int n);

}  // namespace qev
