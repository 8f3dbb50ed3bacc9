// The output stream under the virtual backend: primed but silent until resume,
// refilled whole buffer by whole buffer as the device consumes them, and quiet
// for good after stop. Also the tune switching of the player API.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
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
  sid_set_tunes(table);

  sid_play_tune(1);
  ASSERT_TRUE(sid_device_open());
  advance(480);
  EXPECT_EQ(sid_player_state().play_calls, 16u + 3 * 8);
  EXPECT_EQ(sid_player_state().memory[0x2000], 16 + 3 * 8);

  sid_play_tune(3);  // a new tune from its beginning
  EXPECT_EQ(sid_player_state().play_calls, 16u);
  EXPECT_EQ(sid_player_state().memory[0x2000], 0);
  EXPECT_EQ(sid_player_state().memory[0x2001], 16);
  sid_play_tune(3);  // the same number restarts it
  EXPECT_EQ(sid_player_state().memory[0x2001], 16);
  advance(160);
  EXPECT_EQ(sid_player_state().memory[0x2001], 24);

  sid_play_tune(13);  // stops, starts nothing
  EXPECT_FALSE(sid_device_open());
  advance(500);
  EXPECT_EQ(sid_player_state().memory[0x2001], 24);

  sid_play_tune(2);
  sid_stop();
  EXPECT_FALSE(sid_device_open());
  advance(500);
  EXPECT_EQ(sid_player_state().play_calls, 16u);
}

}  // namespace
