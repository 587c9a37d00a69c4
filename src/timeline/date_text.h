#pragma once

#include <string_view>

#include "events/event_line.h"
#include "text/cp932.h"

namespace qev {

// An event's date as the information panels write it: the first date with
// its year's zeros blanked ("AD 794"), " ころ" after an approximate date, and
// for a range the separator and the second date ("AD 710 　～ 　AD 794").
Sjis EventDateText(const EventFields& event);
Sjis EventDateText(std::string_view line);

// The same from its parts: the first date as shown, the second date as
// shown (empty for none), and which of them are approximate.
Sjis DateRangeText(std::string_view first, std::string_view second, bool firstAbout,
                   bool secondAbout);

// A second date field as shown: without its spaces, the year's zeros
// blanked.
Sjis SecondDateShown(std::string_view field);

}  // namespace qev
