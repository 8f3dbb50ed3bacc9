// Wave output on winmm: done hooks on our own notification thread (where they may
// queue buffers again), reset and close, looping, pause and position, the
// system's error texts. Needs a wave device; without one every case is skipped,
// unless MAG_REQUIRE_AUDIO is set (the Wine CI step gives it a null device).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/clock.h"
#include "platform/wave_out.h"

namespace {

struct DoneLog {
  std::atomic<int> count{0};
  std::atomic<DWORD> thread{0};
  WaveHeader* last = nullptr;
  int rewrites_left = 0;   // the hook queues its header again this many times
  double finished_at = 0;
};

void log_done(WaveDevice* device, WaveHeader* header, uintptr_t instance) {
  auto* log = reinterpret_cast<DoneLog*>(instance);
  log->last = header;
  log->thread = GetCurrentThreadId();
  if (log->rewrites_left > 0) {
    --log->rewrites_left;
    // The whole refill of a SID buffer: unprepare, prepare, write.
    EXPECT_EQ(wave_out_unprepare_header(device, header), wave_ok);
    EXPECT_EQ(wave_out_prepare_header(device, header), wave_ok);
    EXPECT_EQ(wave_out_write(device, header), wave_ok);
  } else {
    log->finished_at = clock_seconds();
  }
  log->count.fetch_add(1);
}

bool wait_for(const std::atomic<int>& count, int at_least, double seconds) {
  double until = clock_seconds() + seconds;
  while (count.load() < at_least && clock_seconds() < until) Sleep(5);
  return count.load() >= at_least;
}

class Win32Wave : public ::testing::Test {
 protected:
  void SetUp() override {
    WaveFormat format;
    format.channels = 2;
    int opened = wave_out_open(&device, format, log_done, reinterpret_cast<uintptr_t>(&log));
    if (opened != wave_ok) {
      device = nullptr;
      if (std::getenv("MAG_REQUIRE_AUDIO")) FAIL() << "no wave device (code " << opened << ")";
      GTEST_SKIP() << "no wave output device on this machine";
    }
  }
  void TearDown() override {
    if (!device) return;
    EXPECT_EQ(wave_out_reset(device), wave_ok);
    EXPECT_EQ(wave_out_close(device), wave_ok);
  }
  // `milliseconds` of stereo sound at 44,100 Hz.
  void fill(WaveHeader& header, std::vector<int16_t>& samples, int milliseconds) {
    samples.assign(size_t(44100) * milliseconds / 1000 * 2, 1000);
    header.data = samples.data();
    header.buffer_length = uint32_t(samples.size() * 2);
    ASSERT_EQ(wave_out_prepare_header(device, &header), wave_ok);
    EXPECT_TRUE(header.flags & wave_prepared);
  }
  WaveDevice* device = nullptr;
  DoneLog log;
};

TEST_F(Win32Wave, APlayedBufferComesBackDoneOnTheNotificationThread) {
  std::vector<int16_t> samples;
  WaveHeader header;
  fill(header, samples, 100);
  double written_at = clock_seconds();
  ASSERT_EQ(wave_out_write(device, &header), wave_ok);
  EXPECT_TRUE(header.flags & wave_in_queue);
  ASSERT_TRUE(wait_for(log.count, 1, 5.0));
  EXPECT_EQ(log.last, &header);
  EXPECT_TRUE(header.flags & wave_done);
  EXPECT_FALSE(header.flags & wave_in_queue);
  EXPECT_NE(log.thread.load(), GetCurrentThreadId());
  EXPECT_GT(log.finished_at - written_at, 0.05) << "the device played the sound, it did not drop it";
  uint32_t bytes = 0;
  ASSERT_EQ(wave_out_get_position(device, &bytes), wave_ok);
  EXPECT_EQ(bytes, header.buffer_length);
  EXPECT_EQ(wave_out_unprepare_header(device, &header), wave_ok);
  EXPECT_FALSE(header.flags & wave_prepared);
}

TEST_F(Win32Wave, AHookMayQueueItsBufferAgainAndTheBuffersKeepTheirOrder) {
  std::vector<int16_t> a_samples, b_samples;
  WaveHeader a, b;
  fill(a, a_samples, 40);
  fill(b, b_samples, 40);
  log.rewrites_left = 6;
  ASSERT_EQ(wave_out_write(device, &a), wave_ok);
  ASSERT_EQ(wave_out_write(device, &b), wave_ok);
  ASSERT_TRUE(wait_for(log.count, 8, 5.0)) << log.count.load() << " buffers came back";
  uint32_t bytes = 0;
  ASSERT_EQ(wave_out_get_position(device, &bytes), wave_ok);
  EXPECT_EQ(bytes, 8 * a.buffer_length);   // every buffer played whole, none twice
}

TEST_F(Win32Wave, ResetHandsQueuedBuffersBackBeforeItReturns) {
  std::vector<int16_t> a_samples, b_samples;
  WaveHeader a, b;
  fill(a, a_samples, 1000);
  fill(b, b_samples, 1000);
  ASSERT_EQ(wave_out_write(device, &a), wave_ok);
  ASSERT_EQ(wave_out_write(device, &b), wave_ok);
  EXPECT_EQ(wave_out_close(device), wave_still_playing);
  EXPECT_EQ(wave_out_unprepare_header(device, &a), wave_still_playing);
  Sleep(100);
  ASSERT_EQ(wave_out_reset(device), wave_ok);
  EXPECT_EQ(log.count.load(), 2);
  EXPECT_TRUE(a.flags & wave_done);
  EXPECT_TRUE(b.flags & wave_done);
  uint32_t bytes = 1;
  ASSERT_EQ(wave_out_get_position(device, &bytes), wave_ok);
  EXPECT_EQ(bytes, 0u);
}

// The music ring's way of playing: one header looped for good, until a reset.
// (A finite loop count is not tried: Wine plays some counts more often.)
TEST_F(Win32Wave, ABufferLoopedForGoodPlaysOnUntilReset) {
  std::vector<int16_t> samples;
  WaveHeader header;
  fill(header, samples, 50);
  header.flags |= wave_begin_loop | wave_end_loop;
  header.loops = 0xFFFFFFFFu;
  ASSERT_EQ(wave_out_write(device, &header), wave_ok);
  uint32_t bytes = 0;
  double until = clock_seconds() + 5.0;
  while (bytes < 4 * header.buffer_length && clock_seconds() < until) {
    Sleep(20);
    ASSERT_EQ(wave_out_get_position(device, &bytes), wave_ok);
  }
  EXPECT_GE(bytes, 4 * header.buffer_length) << "the loop goes round";
  EXPECT_EQ(log.count.load(), 0);
  EXPECT_TRUE(header.flags & wave_in_queue);
  ASSERT_EQ(wave_out_reset(device), wave_ok);
  EXPECT_EQ(log.count.load(), 1);
  EXPECT_TRUE(header.flags & wave_done);
}

TEST_F(Win32Wave, APausedDeviceHoldsItsPositionUntilRestarted) {
  std::vector<int16_t> samples;
  WaveHeader header;
  fill(header, samples, 100);
  ASSERT_EQ(wave_out_pause(device), wave_ok);
  ASSERT_EQ(wave_out_write(device, &header), wave_ok);
  Sleep(200);
  uint32_t bytes = 1;
  ASSERT_EQ(wave_out_get_position(device, &bytes), wave_ok);
  EXPECT_EQ(bytes, 0u);
  EXPECT_EQ(log.count.load(), 0);
  ASSERT_EQ(wave_out_restart(device), wave_ok);
  ASSERT_TRUE(wait_for(log.count, 1, 5.0));
}

TEST(Win32WaveCalls, NullDevicesAndUnpreparedBuffersAreRefused) {
  WaveHeader header;
  EXPECT_EQ(wave_out_close(nullptr), wave_invalid_handle);
  EXPECT_EQ(wave_out_write(nullptr, &header), wave_invalid_handle);
  WaveDevice* device = nullptr;
  WaveFormat eight_bit;
  eight_bit.bits_per_sample = 8;
  EXPECT_EQ(wave_out_open(&device, eight_bit, nullptr, 0), wave_bad_format);
  EXPECT_EQ(device, nullptr);
}

TEST(Win32WaveCalls, ErrorTextsAreTheSystemsOwn) {
  char text[256];
  std::memset(text, 'x', sizeof text);
  wave_out_error_text(wave_bad_format, text, sizeof text);
  char expected[256] = {};
  ASSERT_EQ(waveOutGetErrorTextA(WAVERR_BADFORMAT, expected, sizeof expected), MMSYSERR_NOERROR);
  EXPECT_STREQ(text, expected);
  EXPECT_GT(std::strlen(text), 0u);
  char tiny[4];
  wave_out_error_text(wave_bad_format, tiny, sizeof tiny);
  EXPECT_LT(std::strlen(tiny), sizeof tiny);   // cut, but always terminated
}

}  // namespace
