#pragma once

#include <cstdint>

#include "text/cp932.h"

namespace qev {

// The recall stopwatch of the control panel. It stays idle until the first
// click, then alternates between running and stopped; every start counts
// from zero. Times are steady-clock milliseconds.
//
// Minutes and seconds are both derived from the whole time since the start,
// so a tick that arrives late rolls the minute over instead of showing 60 or
// more seconds.
class Stopwatch {
 public:
  enum class State { kIdle, kRunning, kStopped };

  State stopwatchState() const { return stopwatchState_; }
  // The count as of the last Count (or start).
  int stopwatchMinutes() const { return stopwatchMinutes_; }
  int stopwatchSeconds() const { return stopwatchSeconds_; }
  // The count frozen by the last stop.
  int stoppedMinutes() const { return stoppedMinutes_; }
  int stoppedSeconds() const { return stoppedSeconds_; }
  int blinkPhase() const { return blinkPhase_; }

  // A click on the stopwatch label: idle or stopped starts from zero,
  // running stops and freezes the count.
  void StopwatchClick(std::int64_t nowMs);
  // The once-a-second count, in every state.
  void Count(std::int64_t nowMs);
  // While idle the count is held at zero from `nowMs` (the panel does this on
  // every redraw); in any other state nothing changes. The minutes are held
  // too, so a stopwatch never started never shows minutes that passed
  // between two redraws.
  void HoldIdleAtZero(std::int64_t nowMs);
  // Flips the blink phase; true when the running marker shows this second.
  bool Blink();
  // The clock's once-a-second tick: Count, and while running Blink; true
  // when the running marker shows this second.
  bool Tick(std::int64_t nowMs) {
    Count(nowMs);
    return stopwatchState_ == State::kRunning && Blink();
  }

  // "タイマー= 2分5秒": the frozen count when stopped, else the current one.
  Sjis DisplayText() const;

 private:
  void Restart(std::int64_t nowMs);

  State stopwatchState_ = State::kIdle;
  std::int64_t stopwatchReference_ = 0;
  int stopwatchMinutes_ = 0;
  int stopwatchSeconds_ = 0;
  int stoppedMinutes_ = 0;
  int stoppedSeconds_ = 0;
  int blinkPhase_ = 0;
};

}  // namespace qev
