#pragma once

#include <cstddef>
#include <cstdint>

#include "study/fsrs_fit.h"

namespace qev {

// A learner unlike the median one (firmer first memories, a steeper curve),
// as make_reference.mjs has it.
inline constexpr MemoryParameters kSimulatedLearner = {0.5,  1.8,  4.2, 12.0, 5.8, 1.1,  2.2,
                                                       0.02, 1.6,  0.2, 1.1,  1.7, 0.09, 0.35,
                                                       1.2,  0.45, 2.4, 0.4,  0.3, 0.1,  0.3};

// A learner whose memory follows `w`, as make_reference.mjs simulates one:
// each card first answered on one of 60 days, next after the first
// stability of its first grade, then after a third to three times the
// interval for a recall of 0.9, half the misses asked again the same day;
// grades 1 for a miss, else 2, 3 or 4 (15%, 70%, 15%). Cards are added until
// `predicted` answers on later days are in the log.
MemoryLog SimulateLearner(const MemoryParameters& w, std::size_t predicted, std::uint64_t seed);

}  // namespace qev
