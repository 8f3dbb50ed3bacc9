// Tune switching with real threads: the SDL backend on its dummy audio driver,
// so the device's refills and the main thread's starts and stops really run at
// once. Meant for the ThreadSanitizer build; in an ordinary build it checks that
// the tune moves on while it plays and never after a stop.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "platform/clock.h"
#include "sid/sid_player.h"

namespace {

std::vector<uint8_t> read_tune(const char* name) {
  std::ifstream f(std::string(MAG_SOURCE_DIR "/assets/tunes/") + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

TEST(SidThreads, SwitchAndStopWhileTheDeviceRefills) {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  const std::vector<uint8_t> a = read_tune("tune01.sid"), b = read_tune("standin.sid");
  ASSERT_FALSE(a.empty());
  ASSERT_FALSE(b.empty());
  SidTuneTable table;
  for (int n = 1; n <= sid_tune_count; ++n) table.entry[n] = {n % 2 ? a.data() : b.data(), uint32_t((n % 2 ? a : b).size()), 0};
  auto player = std::make_unique<SidPlayer>();
  sid_set_tunes(*player, table);

  sid_play_tune(*player, 1);
  if (!sid_device_open(*player)) GTEST_SKIP() << "no audio device";
  for (int round = 0; round < 12; ++round) {
    sleep_ms(round % 3 == 0 ? 400 : 30);   // long enough for refills, or a quick F-key run
    sid_play_tune(*player, 1 + round % sid_tune_count);
  }
  sleep_ms(400);
  sid_stop(*player);
  // Read only after the stop: while a tune plays its record belongs to the refills.
  const uint32_t calls = player->state.play_calls;
  EXPECT_GT(calls, 16u) << "the last tune was refilled while it played";
  sleep_ms(300);
  EXPECT_EQ(player->state.play_calls, calls) << "a refill ran after the stop";
  EXPECT_FALSE(sid_device_open(*player));
  char text[256];
  EXPECT_FALSE(sid_take_failure_report(*player, text, sizeof text));
}

}  // namespace
