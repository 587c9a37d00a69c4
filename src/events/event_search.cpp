#include "events/event_search.h"

#include <algorithm>
#include <numeric>
#include <optional>

#include "events/event_date.h"
#include "events/event_line.h"

namespace qev {
namespace {

bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Whether `pos` begins a character of the text that starts at `from`.
bool OnCharBoundary(std::string_view text, std::size_t from, std::size_t pos) {
  std::size_t i = from;
  while (i < pos) {
    // A lead byte cut off at the end of its field stands alone, as folded.
    const bool pair = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
                      text[i + 1] != '\n' && text[i + 1] != '\0';
    i += pair ? 2 : 1;
  }
  return i == pos;
}

// Appends the folded text to `out` (FoldForSearch).
void AppendFolded(std::string& out, std::string_view cp932) {
  for (std::size_t i = 0; i < cp932.size(); ++i) {
    const auto b = static_cast<unsigned char>(cp932[i]);
    if (!IsLeadByte(b) || i + 1 >= cp932.size()) {
      out += static_cast<char>(b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b);
      continue;
    }
    const auto t = static_cast<unsigned char>(cp932[i + 1]);
    ++i;
    // Full-width ０..９ 0x824F..0x8258, Ａ..Ｚ 0x8260..0x8279, ａ..ｚ 0x8281..0x829A.
    if (b == 0x82 && t >= 0x4F && t <= 0x58) {
      out += static_cast<char>('0' + (t - 0x4F));
    } else if (b == 0x82 && t >= 0x60 && t <= 0x79) {
      out += static_cast<char>('a' + (t - 0x60));
    } else if (b == 0x82 && t >= 0x81 && t <= 0x9A) {
      out += static_cast<char>('a' + (t - 0x81));
    } else {
      out += static_cast<char>(b);
      out += static_cast<char>(t);
    }
  }
}

}  // namespace

std::string FoldForSearch(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size());
  AppendFolded(out, cp932);
  return out;
}

void EventSearch::Build(const std::vector<std::string_view>& lines) {
  folded_.clear();
  starts_.clear();
  firstYear_.clear();
  lowYear_.clear();
  highYear_.clear();
  starts_.reserve(lines.size());
  firstYear_.reserve(lines.size());
  lowYear_.reserve(lines.size());
  highYear_.reserve(lines.size());
  for (std::string_view line : lines) {
    starts_.push_back(folded_.size());
    const EventFields event = ParseEvent(line);
    for (std::string_view text : {event.period, event.event, event.memo1, event.memo2}) {
      AppendFolded(folded_, text);
      folded_ += '\n';
    }
    folded_.back() = '\0';
    const std::optional<EraYear>& first = event.first;
    const std::optional<EraYear>& second = event.second;
    // A line without a date sorts last and matches no year.
    const int a = first ? first->Signed() : 10000;
    const int b = second && first ? second->Signed() : a;
    firstYear_.push_back(a);
    lowYear_.push_back(std::min(a, b));
    highYear_.push_back(std::max(a, b));
  }
}

std::vector<std::size_t> EventSearch::Find(std::string_view utf8Query) const {
  std::vector<std::size_t> found;
  if (utf8Query.empty()) return found;
  std::vector<char> hit(size(), 0);
  if (const std::optional<EraYear> year = ParseTypedYear(utf8Query)) {
    const int y = year->Signed();
    for (std::size_t i = 0; i < size(); ++i) {
      if (lowYear_[i] <= y && y <= highYear_[i]) hit[i] = 1;
    }
  }
  const Cp932Encoding encoded = EncodeCp932(utf8Query);
  const std::string query = encoded.ok() ? FoldForSearch(encoded.bytes) : std::string();
  if (!query.empty()) {
    const std::string_view text = folded_;
    std::size_t event = 0;
    for (std::size_t pos = text.find(query); pos != std::string_view::npos;
         pos = text.find(query, pos + 1)) {
      event = static_cast<std::size_t>(
                  std::upper_bound(starts_.begin() + static_cast<long>(event), starts_.end(), pos) -
                  starts_.begin()) -
              1;
      if (hit[event] || !OnCharBoundary(text, starts_[event], pos)) continue;
      hit[event] = 1;
      // The event is found: go on with the next one.
      if (event + 1 >= size()) break;
      pos = starts_[event + 1] - 1;
    }
  }
  for (std::size_t i = 0; i < size(); ++i) {
    if (hit[i]) found.push_back(i);
  }
  std::stable_sort(found.begin(), found.end(),
                   [this](std::size_t a, std::size_t b) { return firstYear_[a] < firstYear_[b]; });
  return found;
}

}  // namespace qev
