#include "platform/platform.h"

#include <algorithm>
#include <string_view>

namespace qev {

std::vector<Sjis> SplitPanelLines(const Sjis& text) {
  std::vector<Sjis> lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find("\r\n", start);
    if (end == Sjis::npos) {
      lines.push_back(text.substr(start));
      return lines;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
}

Sjis PanelDisplayText(const Sjis& text) {
  const Sjis& ellipsis = "…"_sj;
  Sjis shown;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = std::min(text.find("\r\n", start), text.size());
    std::string_view line(text.data() + start, end - start);
    if (line.size() > kPanelLineLimit) {
      shown.append(CutOnCharBoundary(line, kPanelLineLimit - ellipsis.size())).append(ellipsis);
    } else {
      shown.append(line);
    }
    if (end == text.size()) break;
    shown.append("\r\n");
    start = end + 2;
  }
  return shown;
}

}  // namespace qev
