// Bytes of any kind as a study log and as an event line: reading never
// fails and never counts more answers than lines, and an event line keyed
// from its CP932 bytes meets the key of the fields the log writes for it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "require.h"
#include "study/event_key.h"
#include "study/review_history.h"
#include "text/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qev;
  using fuzz::Require;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const ReviewHistory log = ReviewHistory::Parse(bytes);
  const auto lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
  Require(log.reviews().size() + log.skippedLines() <= lines);

  const std::string_view base = bytes.substr(0, std::min<std::size_t>(size, 8));
  Require(KeyOfEvent(base, bytes) == KeyOfLogFields(DecodeCp932(base),
                                                    DecodeCp932(EventDateField(bytes)),
                                                    DecodeCp932(EventTextField(bytes))));
  return 0;
}
