#include "model/stopwatch.h"

#include <gtest/gtest.h>

#include "state/clock.h"

namespace qev {
namespace {

TEST(ClockText, ZeroPaddedLikeTheFileHeaders) {
  EXPECT_EQ(FormatClockText({2026, 12, 8, 9, 5, 59}), "2026年12月08日09時05分"_sj);
  EXPECT_EQ(DecodeCp932(FormatClockText({2027, 1, 1, 0, 0, 0})), "2027年01月01日00時00分");
}

constexpr std::int64_t kStart = 5'000;

std::string Shown(const Stopwatch& s) {
  return DecodeCp932(s.DisplayText());
}

TEST(Stopwatch, RunsStopsFreezesAndRestartsFromZero) {
  Stopwatch s;
  EXPECT_EQ(s.stopwatchState(), Stopwatch::State::kIdle);
  EXPECT_EQ(Shown(s), "タイマー= 0分0秒");

  s.StopwatchClick(kStart);
  EXPECT_EQ(s.stopwatchState(), Stopwatch::State::kRunning);
  s.Count(kStart + 125'000);
  EXPECT_EQ(Shown(s), "タイマー= 2分5秒");

  s.Count(kStart + 125'900);  // part of a second does not count yet
  s.StopwatchClick(kStart + 125'900);
  EXPECT_EQ(s.stopwatchState(), Stopwatch::State::kStopped);
  s.Count(kStart + 400'000);  // the count goes on underneath, the display stays
  EXPECT_EQ(Shown(s), "タイマー= 2分5秒");
  EXPECT_EQ(s.stoppedMinutes(), 2);
  EXPECT_EQ(s.stoppedSeconds(), 5);

  s.StopwatchClick(kStart + 500'000);
  EXPECT_EQ(s.stopwatchState(), Stopwatch::State::kRunning);
  EXPECT_EQ(Shown(s), "タイマー= 0分0秒");
  s.Count(kStart + 503'000);
  EXPECT_EQ(Shown(s), "タイマー= 0分3秒");
}

TEST(Stopwatch, LateTicksRollTheMinuteOverInsteadOfPassing59Seconds) {
  Stopwatch s;
  s.StopwatchClick(kStart);
  s.Count(kStart + 59'000);
  EXPECT_EQ(Shown(s), "タイマー= 0分59秒");
  // The tick at 60 s was missed.
  s.Count(kStart + 61'200);
  EXPECT_EQ(s.stopwatchMinutes(), 1);
  EXPECT_EQ(s.stopwatchSeconds(), 1);
  s.Count(kStart + 3'725'000);
  EXPECT_EQ(Shown(s), "タイマー= 62分5秒");
  // A clock reading before the start shows zero, never a negative time.
  s.Count(kStart - 10'000);
  EXPECT_EQ(Shown(s), "タイマー= 0分0秒");
}

}  // namespace
}  // namespace qev
