#pragma once

#include <QString>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "lists/table_export.h"

namespace qev {

enum class ListKind { kCsv, kTsv, kDeck };

// The kind a table file's name asks for: .tsv tab-separated, else CSV.
ListKind TableKindOf(const QString& path);

// Writes `events` as a table or a deck into `path` (replacing a file that is
// there). Why it could not be written, or empty.
QString WriteEventList(const QString& path, ListKind kind, const std::vector<ListedEvent>& events);

// The events of the event files named (bytes), each with its file's title
// (its name without ".txt" when the header has none), in file order.
// `problems` gets a line for each file that could not be read.
std::vector<ListedEvent> EventsOfFiles(const std::vector<std::string>& files,
                                       std::vector<std::string>& problems);

// --export-table / --export-deck: writes `events` into each file asked
// for; the program's exit code.
int RunListExport(const CommandLine& options, const std::vector<ListedEvent>& events);

// --import FILE --title TITLE [--out NAME.txt]: reads the table with the
// guessed columns into a new event file of `dataDir` (bytes), listing the
// rows left out on the terminal. The program's exit code.
int RunImport(const CommandLine& options, const std::string& dataDir);

}  // namespace qev
