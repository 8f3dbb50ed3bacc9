// Output thread and player control under the virtual backend: what the device
// plays is what the renderer makes, the queries follow the music heard, stop
// silences, play restarts from the beginning, switching modules frees the old.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/clock.h"
#include "platform/virtual.h"
#include "tests/xm/xm_test_support.h"

using namespace xmw;

namespace {

Song melody(int channels, uint16_t bpm) {
  Song song;
  song.channels = uint16_t(channels);
  song.bpm = bpm;
  song.orders = {0, 1};
  for (int p = 0; p < 2; ++p) {
    Pattern pattern;
    pattern.rows = 16;
    for (int r = 0; r < 16; ++r)
      for (int c = 0; c < channels; ++c)
        at(pattern, channels, r, c) = {uint8_t(40 + (r * 5 + c * 7 + p * 3) % 40), 1, 0, 0, 0};
    song.patterns.push_back(pattern);
  }
  song.instruments.push_back(single_sample_instrument(square_sample(24, 0x3000, 240)));
  return song;
}

// The first `frames` stereo frames the renderer makes for the song, block by block.
std::vector<int32_t> render_offline(const std::vector<uint8_t>& bytes, int frames) {
  ModulePtr m = load_bytes(bytes);
  RendererPtr r = start_renderer(*m);
  std::vector<int32_t> out;
  while (int(out.size()) < frames * 2) {
    int32_t block = r->fill_index;
    xm_fill_block(*r);
    const int16_t* data = xm_ring_block(*r, block);
    out.insert(out.end(), data, data + xm_block_frames * 2);
  }
  out.resize(size_t(frames) * 2);
  return out;
}

class XmOutput : public ::testing::Test {
 protected:
  void SetUp() override { virtual_reset(); }
  void TearDown() override { xm_free_current(player); }
  XmPlayer player;
};

}  // namespace

TEST_F(XmOutput, DevicePlaysWhatTheRendererMakesAcrossTheRing) {
  std::vector<uint8_t> bytes = write(melody(3, 125));
  ASSERT_TRUE(xm_load_current(player, bytes.data(), int32_t(bytes.size())));
  EXPECT_EQ(xm_current_channels(player), 3);
  ASSERT_TRUE(xm_play_current(player));
  EXPECT_TRUE(xm_is_playing(player));
  sleep_ms(5000);  // past two and a half turns of the ring
  xm_stop_current(player);
  const int frames = 44100 * 5;
  std::vector<int32_t> expected = render_offline(bytes, frames);
  const std::vector<int32_t>& heard = virtual_audio();
  ASSERT_GE(heard.size(), size_t(frames) * 2);
  int mismatches = 0, first = -1;
  for (int i = 0; i < frames * 2; ++i)
    if (heard[size_t(i)] != expected[size_t(i)]) {
      if (first < 0) first = i / 2;
      ++mismatches;
    }
  EXPECT_EQ(mismatches, 0) << "first differing frame " << first;
}

TEST_F(XmOutput, QueriesFollowTheMusicHeard) {
  std::vector<uint8_t> bytes = write(melody(2, 125));
  ASSERT_TRUE(xm_load_current(player, bytes.data(), int32_t(bytes.size())));
  ASSERT_TRUE(xm_play_current(player));
  EXPECT_EQ(xm_current_order(player), 0);
  EXPECT_EQ(xm_current_row(player), 0);
  // Rows last 6 x 882 frames (120 ms): 16 rows and one more are 2.04 s.
  sleep_ms(2040 + 60);
  EXPECT_EQ(xm_current_order(player), 1);
  EXPECT_EQ(xm_current_row(player), 1);
  // Elapsed time counts each tick's 882 frames as 19 ms, so it runs behind.
  EXPECT_NEAR(double(xm_current_time(player)), 2100.0 * 19 / 20, 45.0);
  const XmModule* m = xm_current_module(player);
  const XmCell& cell = m->patterns[1].cells[1 * 2 + 1];
  EXPECT_EQ(xm_current_cell(player, 1), uint16_t(cell.note | cell.instrument << 8));
  EXPECT_EQ(xm_current_cell(player, 2), 0) << "outside the row";
  EXPECT_EQ(xm_current_cell(player, -1), 0);
}

TEST_F(XmOutput, StopSilencesAndPlayRestarts) {
  std::vector<uint8_t> bytes = write(melody(2, 150));
  ASSERT_TRUE(xm_load_current(player, bytes.data(), int32_t(bytes.size())));
  ASSERT_TRUE(xm_play_current(player));
  sleep_ms(1000);
  xm_stop_current(player);
  EXPECT_FALSE(xm_is_playing(player));
  EXPECT_EQ(xm_current_time(player), 0u);
  double stopped_at = clock_seconds();
  xm_stop_current(player);  // a second stop changes nothing
  sleep_ms(500);
  ASSERT_TRUE(xm_play_current(player));
  sleep_ms(300);
  EXPECT_LT(xm_current_time(player), 320u) << "from the beginning again";
  xm_stop_current(player);
  const std::vector<int32_t>& heard = virtual_audio();
  size_t from = size_t(stopped_at * 44100 + 50) * 2, to = size_t((stopped_at + 0.45) * 44100) * 2;
  ASSERT_GT(heard.size(), to);
  for (size_t i = from; i < to; ++i) ASSERT_EQ(heard[i], 0) << "silent while stopped";
  int64_t loud = 0;
  size_t restart = size_t((stopped_at + 0.55) * 44100) * 2;
  for (size_t i = restart; i < restart + 8000; ++i) loud += std::abs(heard[i]);
  EXPECT_GT(loud, 0) << "sound again after the restart";
}

TEST_F(XmOutput, SwitchingModulesAndRefusals) {
  std::vector<uint8_t> a = write(melody(2, 125)), b = write(melody(5, 125));
  ASSERT_TRUE(xm_load_current(player, a.data(), int32_t(a.size())));
  ASSERT_TRUE(xm_play_current(player));
  sleep_ms(100);
  for (int i = 0; i < 3; ++i) {
    xm_stop_current(player);
    xm_free_current(player);
    EXPECT_EQ(xm_current_channels(player), 0);
    const std::vector<uint8_t>& next = i % 2 ? a : b;
    ASSERT_TRUE(xm_load_current(player, next.data(), int32_t(next.size())));
    ASSERT_TRUE(xm_play_current(player));
    sleep_ms(30);
  }
  EXPECT_EQ(xm_current_channels(player), 5);
  std::vector<uint8_t> junk(100, 'x');
  EXPECT_FALSE(xm_load_current(player, junk.data(), int32_t(junk.size())));
  EXPECT_FALSE(xm_is_playing(player)) << "loading replaces (and stops) the current module";
  EXPECT_FALSE(xm_play_current(player));
  EXPECT_EQ(xm_current_channels(player), 0);
  EXPECT_EQ(xm_current_cell(player, 0), 0);
  EXPECT_FALSE(xm_play(player, nullptr));
  EXPECT_FALSE(xm_stop(player, nullptr));
  EXPECT_FALSE(xm_free(player, nullptr));
}

namespace {

struct FailingCase {
  const char* name;
  uint32_t calls;
  bool starts;  // xm_play still succeeds
  bool sticks;  // the device keeps playing after the stop
};

// Everything the device played from `from` seconds for `seconds`, as |sample| summed.
int64_t loudness(double from, double seconds) {
  const std::vector<int32_t>& heard = virtual_audio();
  size_t first = size_t(from * 44100) * 2, last = size_t((from + seconds) * 44100) * 2;
  int64_t sum = 0;
  for (size_t i = first; i < last && i < heard.size(); ++i) sum += std::abs(heard[i]);
  return sum;
}

}  // namespace

TEST_F(XmOutput, AFailingDeviceLeavesTheMusicSilentWithoutAWord) {
  const FailingCase cases[] = {
      {"open", virtual_wave_open, false, false},
      {"prepare", virtual_wave_prepare, false, false},
      {"write", virtual_wave_write, false, false},
      {"position", virtual_wave_position, true, false},
      {"reset", virtual_wave_reset, true, true},
      {"unprepare", virtual_wave_unprepare, true, false},
      {"close", virtual_wave_close, true, false},
      {"reset and close", virtual_wave_reset | virtual_wave_close, true, true},
      {"everything", ~0u, false, false},
  };
  std::vector<uint8_t> bytes = write(melody(3, 125));
  for (const FailingCase& c : cases) {
    SCOPED_TRACE(c.name);
    virtual_reset();
    ::testing::internal::CaptureStderr();
    virtual_fail_wave_calls(c.calls, wave_error);
    ASSERT_TRUE(xm_load_current(player, bytes.data(), int32_t(bytes.size())));
    EXPECT_EQ(xm_play_current(player), c.starts);
    EXPECT_EQ(xm_is_playing(player), c.starts);
    sleep_ms(2500);
    for (int ch = 0; ch < 3; ++ch) (void)xm_current_cell(player, ch);
    if (c.calls == virtual_wave_position) {
      EXPECT_EQ(loudness(1.0, 1.4), 0) << "no cursor: silence, no loop";
    }
    xm_stop_current(player);
    EXPECT_FALSE(xm_is_playing(player));
    double stopped_at = clock_seconds();
    sleep_ms(3000);
    EXPECT_EQ(loudness(stopped_at + 0.01, 2.9), 0) << "nothing more is heard after the stop";
    // Music on again and the end of the magazine: no hang, no crash. A device
    // still playing keeps the music off until it lets go.
    EXPECT_EQ(xm_play_current(player), c.starts && !c.sticks);
    sleep_ms(100);
    xm_stop_current(player);
    EXPECT_EQ(player.stuck_device != nullptr, c.sticks);
    virtual_fail_wave_calls(0, wave_ok);
    EXPECT_EQ(xm_play_current(player), true) << "the device works again";
    EXPECT_EQ(player.stuck_device, nullptr);
    xm_free_current(player);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  }
}

TEST_F(XmOutput, PlaysAnyLoadedModuleWhateverLoadedIt) {
  // Loaded by the tools' loader: the player has no file callbacks of its own.
  std::vector<uint8_t> bytes = write(melody(2, 125));
  ModulePtr module = load_bytes(bytes);
  ASSERT_TRUE(module);
  ASSERT_FALSE(xm_file_callbacks_registered(player.file_callbacks));
  ASSERT_TRUE(xm_play(player, module.get()));
  sleep_ms(2100);
  EXPECT_GT(xm_audible_time(player, module.get()), 1900u);
  EXPECT_TRUE(xm_stop(player, module.get()));
  EXPECT_EQ(xm_audible_time(player, module.get()), 0u);
}
