// SDL's wave output on SDL's dummy audio driver, which plays in real time
// without sound hardware: done hooks, and a reset that hands back every header,
// also one that a hook under way queues again.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/wave_out.h"

namespace {

using namespace std::chrono_literals;

struct Requeue {
  WaveHeader* again = nullptr;
  bool every_time = false;
  std::atomic<int> calls{0};
  std::atomic<bool> in_hook{false};
};

// The first header that has played queues `again`, a little late, as a refill
// hook does; with `every_time` every hook queues the header it was given.
void requeue_hook(WaveDevice* device, WaveHeader* header, uintptr_t instance) {
  auto* requeue = reinterpret_cast<Requeue*>(instance);
  int call = requeue->calls++;
  if (requeue->every_time) {
    wave_out_write(device, header);
    return;
  }
  if (call == 0) {
    requeue->in_hook = true;
    std::this_thread::sleep_for(50ms);
    wave_out_write(device, requeue->again);
  }
}

class SdlWave : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
  void open() {
    WaveFormat format;
    format.channels = 2;
    ASSERT_EQ(wave_out_open(&device, format, requeue_hook, reinterpret_cast<uintptr_t>(&requeue)), wave_ok);
  }
  void prepare(WaveHeader& header, std::vector<int16_t>& samples) {
    header.data = samples.data();
    header.buffer_length = uint32_t(samples.size() * 2);
    ASSERT_EQ(wave_out_prepare_header(device, &header), wave_ok);
  }
  static bool wait_for(const std::atomic<bool>& flag) {
    for (int i = 0; i < 3000 && !flag; ++i) std::this_thread::sleep_for(1ms);
    return flag;
  }
  WaveDevice* device = nullptr;
  Requeue requeue;
  std::vector<int16_t> short_buffer = std::vector<int16_t>(441 * 2, 1000);   // 10 ms
  std::vector<int16_t> long_buffer = std::vector<int16_t>(44100 * 2, 1000);  // 1 s
};

TEST_F(SdlWave, ResetHandsBackAHeaderThatAHookUnderWayQueues) {
  open();
  WaveHeader first, again;
  prepare(first, short_buffer);
  prepare(again, long_buffer);
  requeue.again = &again;
  ASSERT_EQ(wave_out_write(device, &first), wave_ok);
  ASSERT_TRUE(wait_for(requeue.in_hook)) << "the first header never played";
  // Nothing is queued now, but the hook is about to queue `again`.
  EXPECT_EQ(wave_out_reset(device), wave_ok);
  EXPECT_FALSE(again.flags & wave_in_queue);
  EXPECT_TRUE(again.flags & wave_done);
  EXPECT_EQ(requeue.calls, 2);   // its hook ran before the reset returned
  uint32_t position = 99;
  EXPECT_EQ(wave_out_get_position(device, &position), wave_ok);
  EXPECT_EQ(position, 0u);
  EXPECT_EQ(wave_out_close(device), wave_ok);   // fails while anything is queued
}

TEST_F(SdlWave, AHookThatAlwaysQueuesAgainMakesResetGiveUpInsteadOfHanging) {
  open();
  WaveHeader looping;
  prepare(looping, long_buffer);
  requeue.every_time = true;
  ASSERT_EQ(wave_out_write(device, &looping), wave_ok);
  EXPECT_EQ(wave_out_reset(device), wave_still_playing);
  EXPECT_GE(requeue.calls, wave_reset_rounds);
  requeue.every_time = false;
  requeue.calls = 1;   // from now on the hook leaves it alone
  EXPECT_EQ(wave_out_reset(device), wave_ok);
  EXPECT_FALSE(looping.flags & wave_in_queue);
  EXPECT_EQ(wave_out_close(device), wave_ok);
}

}  // namespace
