// Both players on the real wave device and threads: the XM output thread follows
// the looping ring's play position, the SID buffers are refilled by their hooks
// on the notification thread, and both stop for good. Skipped without a device,
// unless MAG_REQUIRE_AUDIO is set.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/clock.h"
#include "sid/sid_player.h"
#include "tests/xm/bench_songs.h"
#include "tests/xm/xm_test_support.h"
#include "xm/xm_player.h"

namespace {

void skip_or_fail_without_device() {
  if (std::getenv("MAG_REQUIRE_AUDIO")) FAIL() << "no wave device";
  GTEST_SKIP() << "no wave output device on this machine";
}

uint32_t time_heard_after(const XmPlayer& player, double seconds) {
  double until = clock_seconds() + seconds;
  while (clock_seconds() < until) sleep_ms(5);
  return xm_current_time(player);
}

std::vector<uint8_t> read_file(const char* path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(Win32Players, TheModuleMovesOnWithThePlayCursorAndStopsForGood) {
  std::vector<uint8_t> song = xmw::write(xmw::bench_song(8));
  static XmPlayer player;
  ASSERT_TRUE(xm_load_current(player, song.data(), int32_t(song.size())));
  if (!xm_play_current(player)) return skip_or_fail_without_device();
  // A sound server may take a moment to reach its pace; then the audible
  // record follows the device: a second later, about 1000 ms on, and never
  // ahead of what was played.
  uint32_t early = time_heard_after(player, 0.8);
  uint32_t later = time_heard_after(player, 1.0);
  EXPECT_GT(later, early + 400) << early << " ms, then " << later << " ms";
  EXPECT_LT(later, early + 1600) << early << " ms, then " << later << " ms";
  xm_stop_current(player);
  EXPECT_FALSE(xm_is_playing(player));
  ASSERT_TRUE(xm_play_current(player));   // from the start again, on a fresh device
  EXPECT_LT(time_heard_after(player, 0.1), 300u);
  xm_free_current(player);
  EXPECT_FALSE(xm_is_playing(player));
}

TEST(Win32Players, TheSidBuffersAreRefilledAsTheDevicePlaysThem) {
  std::vector<uint8_t> tune = read_file(MAG_SOURCE_DIR "/assets/tunes/standin.sid");
  ASSERT_FALSE(tune.empty());
  static SidPlayer player;   // the 64 KB memory image is too large for a thread's stack
  if (!sid_start(player, tune.data(), uint32_t(tune.size()), 0)) return skip_or_fail_without_device();
  EXPECT_EQ(player.state.play_calls, 16u);   // both buffers primed, device paused
  sleep_ms(400);
  EXPECT_EQ(player.state.play_calls, 16u) << "a paused device returns nothing";
  sid_resume(player);
  // The first buffer comes back after its 160 ms (a sound server may take a
  // moment longer to start); from then on 8 play calls per 160 ms played, never
  // more than the device has played.
  double until = clock_seconds() + 5.0;
  while (player.state.play_calls == 16 && clock_seconds() < until) sleep_ms(5);
  uint32_t first = player.state.play_calls;
  ASSERT_GT(first, 16u) << "no buffer came back";
  double started = clock_seconds();
  sleep_ms(1000);
  uint32_t calls = player.state.play_calls - first;
  double seconds = clock_seconds() - started;
  sid_stop(player);
  EXPECT_EQ(calls % 8, 0u) << "whole buffers only";
  EXPECT_GE(calls, 8u) << calls << " play calls in " << seconds << " s";
  EXPECT_LE(calls, 8u * uint32_t(seconds / 0.16 + 2)) << calls << " play calls in " << seconds << " s";
  EXPECT_FALSE(sid_device_open(player));
  uint32_t after_stop = player.state.play_calls;
  sleep_ms(400);
  EXPECT_EQ(player.state.play_calls, after_stop);
}
