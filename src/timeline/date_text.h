#pragma once

#include <string_view>

#include "text/cp932.h"

namespace qev {

// An event's date as the information panels write it: the first date with
// its year's zeros blanked ("AD 794"), " ころ" after an approximate date, and
// for a range the separator and the second date ("AD 710 　～ 　AD 794").
Sjis EventDateText(std::string_view line);

}  // namespace qev
