#pragma once

#include <cstdint>
#include <string_view>

namespace qev {

// How the study log knows an event again: its file's base name, its date
// field (the line's first field, "AD0794") and its event text. A 64-bit hash
// of the three as Unicode text, so that an event line (CP932) and a log line
// (UTF-8) meet without converting either; an edited event text is a new event.
using EventKey = std::uint64_t;

// The key of an event line of the file `baseName` (both CP932).
EventKey KeyOfEvent(std::string_view baseName, std::string_view line);

// The keys of the event lines of one file, its base name hashed once rather
// than for every event.
class FileKeys {
 public:
  explicit FileKeys(std::string_view baseName);
  EventKey Of(std::string_view line) const;

 private:
  std::uint64_t named_;  // the hash so far, the base name in it
};

// The key of the three fields as the log writes them (UTF-8).
EventKey KeyOfLogFields(std::string_view baseName, std::string_view dateField,
                        std::string_view eventText);

// The date field and the event text of an event line, as CP932 bytes.
std::string_view EventDateField(std::string_view line);
std::string_view EventTextField(std::string_view line);

}  // namespace qev
