#include "model/random_index.h"

namespace qev {

namespace {
constexpr std::uint64_t kStepsPerMillisecond = 12346;
}  // namespace

void RandomIndex::Reset(int bound, std::int64_t nowMs) {
  randomBound_ = bound;
  startMs_ = nowMs;
}

int RandomIndex::Value(std::int64_t nowMs) const {
  if (randomBound_ < 0 || nowMs <= startMs_) return 0;
  // Unsigned, and reduced before multiplying, so that no pair of times can
  // overflow.
  std::uint64_t period = static_cast<std::uint64_t>(randomBound_) + 1;
  std::uint64_t elapsed =
      (static_cast<std::uint64_t>(nowMs) - static_cast<std::uint64_t>(startMs_)) % period;
  return static_cast<int>(elapsed * (kStepsPerMillisecond % period) % period);
}

}  // namespace qev
