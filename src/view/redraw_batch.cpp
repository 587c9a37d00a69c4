#include "view/redraw_batch.h"

#include <algorithm>
#include <utility>

namespace qev {

void RedrawBatch::Draw(Region region, bool coversRegion, Drawing drawing) {
  if (depth_ == 0) {
    drawing(screen_);
    return;
  }
  if (coversRegion) {
    std::erase_if(held_, [region](const Held& h) { return h.region == region; });
  }
  held_.push_back({region, std::move(drawing)});
}

void RedrawBatch::Flush() {
  // Taken out first: a drawing that asks for a canvas flushes again.
  std::vector<Held> held = std::exchange(held_, {});
  for (Held& h : held) h.drawing(screen_);
}

}  // namespace qev
