#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/cp932.h"

namespace qev {

// Finding events by their texts or their dates. The texts of every event
// (period, event, memo 1, memo 2) are folded once, when the index is built:
// full-width letters and digits as their ASCII forms, letters in lower case.
// A query is folded the same way and looked for in that one block of text,
// so each keystroke costs one pass over it and no conversion per event.
class EventSearch {
 public:
  // Indexes `lines` (event lines, CP932); results name them by their index
  // in this list.
  void Build(const std::vector<std::string_view>& lines);
  std::size_t size() const { return firstYear_.size(); }

  // The events whose texts contain the query (UTF-8) or whose dates match
  // it as a typed year (794, AD794, BC91, 前91, 紀元前91年): the first date,
  // or any year a range spans. In date order, events of one year in the
  // order given. Nothing for an empty query.
  std::vector<std::size_t> Find(std::string_view utf8Query) const;

 private:
  // The folded texts, each event's fields separated by '\n' and each event
  // ended by '\0', so no match runs from one field or event into the next.
  std::string folded_;
  std::vector<std::size_t> starts_;  // where each event begins in folded_
  // Signed years (BC negative) of the first date and of the range's other
  // end (the first date again without one), lower first.
  std::vector<int> firstYear_;
  std::vector<int> lowYear_;
  std::vector<int> highYear_;
};

// CP932 text with full-width letters and digits as ASCII and letters in lower
// case; every other byte as it is.
std::string FoldForSearch(std::string_view cp932);

}  // namespace qev
