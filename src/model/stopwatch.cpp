#include "model/stopwatch.h"

#include <string>

namespace qev {

void Stopwatch::Restart(std::int64_t nowMs) {
  stopwatchReference_ = nowMs;
  stopwatchMinutes_ = 0;
  stopwatchSeconds_ = 0;
}

void Stopwatch::StopwatchClick(std::int64_t nowMs) {
  if (stopwatchState_ == State::kRunning) {
    stoppedMinutes_ = stopwatchMinutes_;
    stoppedSeconds_ = stopwatchSeconds_;
    stopwatchState_ = State::kStopped;
  } else {
    Restart(nowMs);
    stopwatchState_ = State::kRunning;
  }
}

void Stopwatch::Count(std::int64_t nowMs) {
  // A clock that seems to run backwards shows zero rather than a negative time.
  std::int64_t elapsed = nowMs > stopwatchReference_ ? (nowMs - stopwatchReference_) / 1000 : 0;
  stopwatchMinutes_ = static_cast<int>(elapsed / 60);
  stopwatchSeconds_ = static_cast<int>(elapsed % 60);
}

void Stopwatch::HoldIdleAtZero(std::int64_t nowMs) {
  if (stopwatchState_ == State::kIdle) Restart(nowMs);
}

bool Stopwatch::Blink() {
  blinkPhase_ = blinkPhase_ == 0 ? 1 : 0;
  return blinkPhase_ == 0;
}

Sjis Stopwatch::DisplayText() const {
  bool frozen = stopwatchState_ == State::kStopped;
  int minutes = frozen ? stoppedMinutes_ : stopwatchMinutes_;
  int seconds = frozen ? stoppedSeconds_ : stopwatchSeconds_;
  Sjis text = "タイマー= "_sj;
  text += std::to_string(minutes);
  text += "分"_sj;
  text += std::to_string(seconds);
  text += "秒"_sj;
  return text;
}

}  // namespace qev
