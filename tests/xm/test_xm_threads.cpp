// Start, stop and module switching with real threads: the SDL backend on its
// dummy audio driver, so the output thread, the device's callback and the main
// thread really run at once. Meant for the ThreadSanitizer build (TSAN.md); in
// an ordinary build it checks that the music keeps moving and stops for good.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/clock.h"
#include "tests/xm/bench_songs.h"
#include "tests/xm/xm_test_support.h"

namespace {

// Polls what the bars and the ticker would read, as the main thread does each
// frame. The time heard never goes back while the music plays: a record still
// being rendered (2 s ahead) would show as a jump forward and back.
uint32_t watch(const XmPlayer& player, double seconds, int channels) {
  double until = clock_seconds() + seconds;
  uint32_t latest = xm_current_time(player);
  while (clock_seconds() < until) {
    for (int c = 0; c < channels; ++c) (void)xm_current_cell(player, c);
    (void)xm_current_order(player);
    (void)xm_current_row(player);
    uint32_t now = xm_current_time(player);
    EXPECT_GE(now, latest);
    EXPECT_LT(now, latest + 500) << "no record from ahead of the cursor";
    latest = now;
    sleep_ms(1);
  }
  return latest;
}

}  // namespace

TEST(XmThreads, StartStopAndSwitchWhilePlaying) {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  std::vector<uint8_t> a = xmw::write(xmw::bench_song(8)), b = xmw::write(xmw::bench_song(32));
  auto owned = std::make_unique<XmPlayer>();
  XmPlayer& player = *owned;
  ASSERT_TRUE(xm_load_current(player, a.data(), int32_t(a.size())));
  if (!xm_play_current(player)) GTEST_SKIP() << "no audio device";
  for (int round = 0; round < 6; ++round) {
    uint32_t early = watch(player, 0.1, xm_current_channels(player));
    uint32_t later = watch(player, 0.4, xm_current_channels(player));
    EXPECT_GT(later, early) << "round " << round << ": the music moves on";
    if (round % 2) {
      xm_stop_current(player);  // music off and on again
      ASSERT_TRUE(xm_play_current(player));
    } else {
      const std::vector<uint8_t>& next = round % 4 ? a : b;
      xm_stop_current(player);
      xm_free_current(player);
      ASSERT_TRUE(xm_load_current(player, next.data(), int32_t(next.size())));
      ASSERT_TRUE(xm_play_current(player));
    }
  }
  xm_stop_current(player);
  EXPECT_FALSE(xm_is_playing(player));
  xm_free_current(player);
}
