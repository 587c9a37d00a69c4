#pragma once

#include <cstdint>

namespace qev {

// The rolling index the random selection picks: it runs through
// 0..randomBound, advancing 12346 single steps per millisecond from 0 at the
// last reset. It is computed from the elapsed time when read, so no
// millisecond timer is needed.
class RandomIndex {
 public:
  // Every rebuild of the visible points restarts the index at 0 with the new
  // bound (the number of visible points minus 1).
  void Reset(int bound, std::int64_t nowMs);
  // Always within 0..randomBound; 0 when the bound is negative (no points).
  int Value(std::int64_t nowMs) const;
  int randomBound() const { return randomBound_; }

 private:
  int randomBound_ = 10;
  std::int64_t startMs_ = 0;
};

}  // namespace qev
