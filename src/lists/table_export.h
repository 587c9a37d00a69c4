#pragma once

#include <string>
#include <vector>

#include "text/cp932.h"

namespace qev {

// An event to write out, with the file it comes from.
struct ListedEvent {
  Sjis file;  // the file's title (or its name when it has none)
  Sjis line;
};

// The table of `events`, one row each after a header row: file, year as
// the panels write it, second year, approximate ("1", "2", "1 2"), period,
// event, memo 1, memo 2, importance, memorisation. UTF-8 with a byte-order
// mark, so that spreadsheet programs take it as UTF-8; `separator` ',' for
// CSV, '\t' for tab-separated. ReadTable and ImportRows read it back into
// the same event lines.
std::string EventTable(const std::vector<ListedEvent>& events, char separator);

// A deck for Anki's text import: its header lines (tab-separated, plain
// text, the column names, the deck and the tags columns), then one note per
// event: the event text (and the period) on the front, the date as the
// panels write it on the back, memo 1 and memo 2, the deck "QEVライン::"
// and the file, and the tags of the file, the importance and the period.
std::string AnkiDeck(const std::vector<ListedEvent>& events);

}  // namespace qev
