// Start, stop and module switching with real threads: the SDL backend on its
// dummy audio driver, so the output thread, the device's callback and the main
// thread really run at once. Meant for the ThreadSanitizer build (TSAN.md); in
// an ordinary build it checks that the music keeps moving and stops for good.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/clock.h"
#include "tests/xm/bench_songs.h"
#include "tests/xm/xm_test_support.h"

namespace {

// Polls what the bars and the ticker would read, as the main thread does each frame.
uint32_t watch(double seconds, int channels) {
  double until = clock_seconds() + seconds;
  uint32_t latest = 0;
  while (clock_seconds() < until) {
    for (int c = 0; c < channels; ++c) (void)xm_current_cell(c);
    (void)xm_current_order();
    (void)xm_current_row();
    latest = xm_current_time();
    sleep_ms(1);
  }
  return latest;
}

}  // namespace

TEST(XmThreads, StartStopAndSwitchWhilePlaying) {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  std::vector<uint8_t> a = xmw::write(xmw::bench_song(8)), b = xmw::write(xmw::bench_song(32));
  ASSERT_TRUE(xm_load_current(a.data(), int32_t(a.size())));
  if (!xm_play_current()) GTEST_SKIP() << "no audio device";
  for (int round = 0; round < 6; ++round) {
    uint32_t early = watch(0.1, xm_current_channels());
    uint32_t later = watch(0.4, xm_current_channels());
    EXPECT_GT(later, early) << "round " << round << ": the music moves on";
    if (round % 2) {
      xm_stop_current();  // music off and on again
      ASSERT_TRUE(xm_play_current());
    } else {
      const std::vector<uint8_t>& next = round % 4 ? a : b;
      xm_stop_current();
      xm_free_current();
      ASSERT_TRUE(xm_load_current(next.data(), int32_t(next.size())));
      ASSERT_TRUE(xm_play_current());
    }
  }
  xm_stop_current();
  EXPECT_FALSE(xm_is_playing());
  xm_free_current();
}
