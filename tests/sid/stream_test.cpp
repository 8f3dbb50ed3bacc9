// The output stream under the virtual backend: primed but silent until resume,
// refilled whole buffer by whole buffer as the device consumes them, and quiet
// for good after stop. Also the tune switching of the player API.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/virtual.h"
#include "sid/sid_driver.h"
#include "sid/sid_player.h"
#include "sid/sid_stream.h"
#include "tests/sid/psid_builder.h"

namespace {

// Time passes in frame-sized steps, as in the program; done hooks run after each.
void advance(double ms) {
  for (double t = 0; t < ms; t += 10) virtual_advance_ms(10);
}

std::vector<uint8_t> stand_in() {
  std::ifstream f(MAG_SOURCE_DIR "/assets/tunes/standin.sid", std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

struct Stream : ::testing::Test {
  std::vector<uint8_t> tune = stand_in();
  std::unique_ptr<SidPlayerState> player = std::make_unique<SidPlayerState>();
  std::unique_ptr<SidStream> stream = std::make_unique<SidStream>();
  void SetUp() override {
    virtual_reset();
    ASSERT_FALSE(tune.empty());
    sid_prepare_tune(*player, tune.data(), uint32_t(tune.size()), 0);
  }
  void TearDown() override { sid_stream_stop(*stream); }
};

TEST_F(Stream, PrimedButSilentUntilResume) {
  ASSERT_TRUE(sid_stream_start(*stream, *player));
  EXPECT_EQ(player->play_calls, 16u);  // both buffers rendered, A first
  WaveDevice* device = stream->device;
  advance(1000);
  EXPECT_TRUE(virtual_device_played(device).empty());
  EXPECT_EQ(player->play_calls, 16u);
  for (const WaveHeader& h : stream->header) EXPECT_TRUE(h.flags & wave_in_queue);
}

TEST_F(Stream, PlaysWhatTheOfflineRenderGivesAndRefillsWholeBuffers) {
  ASSERT_TRUE(sid_stream_start(*stream, *player));
  WaveDevice* device = stream->device;
  sid_stream_resume(*stream);
  advance(1600);  // ten buffers of 160 ms
  EXPECT_EQ(player->play_calls, 16u + 10 * 8);
  for (const WaveHeader& h : stream->header) EXPECT_EQ(h.buffer_length, sid_buffer_bytes);

  const std::vector<int16_t>& played = virtual_device_played(device);
  ASSERT_GE(played.size(), 10 * sid_buffer_samples);
  auto offline = std::make_unique<SidPlayerState>();
  sid_prepare_tune(*offline, tune.data(), uint32_t(tune.size()), 0);
  std::vector<int16_t> expected(sid_chunk_samples);
  bool any_sound = false;
  for (uint32_t c = 0; c < 10 * sid_buffer_chunks; ++c) {
    sid_render_chunk(*offline, expected.data(), sid_chunk_samples);
    for (uint32_t i = 0; i < sid_chunk_samples; ++i) {
      ASSERT_EQ(played[c * sid_chunk_samples + i], expected[i]) << "chunk " << c << " sample " << i;
      any_sound |= expected[i] != 0;
    }
  }
  EXPECT_TRUE(any_sound);
}

TEST_F(Stream, NothingAfterStop) {
  sid_stream_stop(*stream);  // never opened: nothing happens
  EXPECT_EQ(stream->device, nullptr);

  ASSERT_TRUE(sid_stream_start(*stream, *player));
  WaveDevice* device = stream->device;
  sid_stream_resume(*stream);
  advance(500);
  sid_stream_stop(*stream);
  EXPECT_EQ(stream->device, nullptr);
  const uint32_t calls = player->play_calls;
  const size_t played = virtual_device_played(device).size();
  advance(1000);
  EXPECT_EQ(player->play_calls, calls);  // the buffers the reset handed back stayed unfilled
  EXPECT_EQ(virtual_device_played(device).size(), played);
  for (const WaveHeader& h : stream->header) EXPECT_FALSE(h.flags & (wave_in_queue | wave_prepared));
  sid_stream_resume(*stream);  // no device: nothing to restart
  advance(200);
  EXPECT_EQ(player->play_calls, calls);
}

TEST(SidPlayer, PlayTuneSwitchesRestartsAndStops) {
  virtual_reset();
  // play: INC $2000; RTS
  const auto a = make_psid(0x1000, 0x1003, 0x1000, {0xEE, 0x00, 0x20, 0x60});
  const auto b = make_psid(0x1000, 0x1003, 0x1000, {0xEE, 0x01, 0x20, 0x60});
  SidTuneTable table;
  for (int n = 1; n <= sid_tune_count; ++n) table.entry[n] = {a.data(), uint32_t(a.size()), 0};
  table.entry[3] = {b.data(), uint32_t(b.size()), 0};
  auto player = std::make_unique<SidPlayer>();
  SidPlayer& p = *player;
  sid_set_tunes(p, table);

  sid_play_tune(p, 1);
  ASSERT_TRUE(sid_device_open(p));
  advance(480);
  EXPECT_EQ(p.state.play_calls, 16u + 3 * 8);
  EXPECT_EQ(p.state.memory[0x2000], 16 + 3 * 8);

  sid_play_tune(p, 3);  // a new tune from its beginning
  EXPECT_EQ(p.state.play_calls, 16u);
  EXPECT_EQ(p.state.memory[0x2000], 0);
  EXPECT_EQ(p.state.memory[0x2001], 16);
  sid_play_tune(p, 3);  // the same number restarts it
  EXPECT_EQ(p.state.memory[0x2001], 16);
  advance(160);
  EXPECT_EQ(p.state.memory[0x2001], 24);

  sid_play_tune(p, 13);  // stops, starts nothing
  EXPECT_FALSE(sid_device_open(p));
  advance(500);
  EXPECT_EQ(p.state.memory[0x2001], 24);

  sid_play_tune(p, 2);
  sid_stop(p);
  EXPECT_FALSE(sid_device_open(p));
  advance(500);
  EXPECT_EQ(p.state.play_calls, 16u);
  char text[256];
  EXPECT_FALSE(sid_take_failure_report(p, text, sizeof text));  // nothing failed
}

// A device whose buffer calls fail: the failure is recorded, never shown from
// the hook, handed to the main thread once, and nothing waits on it.
TEST_F(Stream, AFailingDeviceIsReportedOnceAndNothingWaits) {
  ASSERT_TRUE(sid_stream_start(*stream, *player));
  sid_stream_resume(*stream);
  advance(400);
  const uint32_t calls_before = player->play_calls;
  EXPECT_GT(calls_before, 16u);

  testing::internal::CaptureStderr();
  virtual_fail_wave_calls(virtual_wave_write, wave_no_memory);
  advance(1000);  // each buffer that comes back is refilled once, then cannot be queued
  const std::string said_by_hooks = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said_by_hooks, "");
  EXPECT_EQ(player->play_calls, calls_before + 2 * 8);

  char text[256] = {};
  ASSERT_TRUE(sid_stream_take_failure(*stream, text, sizeof text));
  char expected[256] = {};
  wave_out_error_text(wave_no_memory, expected, sizeof expected);
  EXPECT_STREQ(text, expected);
  EXPECT_STRNE(text, "");
  EXPECT_FALSE(sid_stream_take_failure(*stream, text, sizeof text));

  sid_stream_stop(*stream);  // returns: no refill is held up anywhere
  EXPECT_EQ(stream->device, nullptr);

  // Failing again at the next start, from the first preparation: still the one report.
  virtual_fail_wave_calls(virtual_wave_prepare | virtual_wave_write, wave_error);
  ASSERT_TRUE(sid_stream_start(*stream, *player));
  sid_stream_resume(*stream);
  advance(500);
  EXPECT_FALSE(sid_stream_take_failure(*stream, text, sizeof text));
  sid_stream_stop(*stream);
}

TEST_F(Stream, TheFirstFailureIsTheOneReported) {
  virtual_fail_wave_calls(virtual_wave_prepare | virtual_wave_write, wave_invalid_param);
  ASSERT_TRUE(sid_stream_start(*stream, *player));   // the device opened; its buffers did not
  sid_stream_resume(*stream);
  advance(500);
  EXPECT_EQ(player->play_calls, 16u);  // nothing was queued, so nothing came back
  char text[256] = {}, expected[256] = {};
  wave_out_error_text(wave_invalid_param, expected, sizeof expected);
  ASSERT_TRUE(sid_stream_take_failure(*stream, text, sizeof text));
  EXPECT_STREQ(text, expected);  // the preparation's, not the writes' that followed
  sid_stream_stop(*stream);
  EXPECT_EQ(stream->device, nullptr);
}

}  // namespace
