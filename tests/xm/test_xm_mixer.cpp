// Mixer and block renderer: segments at sample ends and loops, ping-pong,
// steps longer than a loop, gain ramps, rounding and clipping, tick placement.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/xm/xm_test_support.h"

namespace {

// A sample built by hand: values, the loop and its guard value, slack behind.
struct HandSample {
  std::vector<int16_t> data;
  XmSample sample{};
  HandSample(std::vector<int16_t> values, uint8_t mode, uint32_t loop_start = 0, uint32_t loop_length = 0) {
    data = values;
    data.resize(values.size() + 8, 0);
    sample.data = data.data();
    sample.length = uint32_t(values.size());
    sample.loop_mode = mode;
    sample.loop_start = mode == xm_loop_none ? 0 : loop_start;
    sample.loop_length = mode == xm_loop_none ? sample.length : loop_length;
    uint32_t end = sample.loop_start + sample.loop_length;
    if (mode == xm_loop_forward) data[end] = data[sample.loop_start];
    if (mode == xm_loop_ping_pong) data[end] = data[end - 1];
  }
};

struct Mixer {
  std::unique_ptr<XmRenderer> r{new XmRenderer()};
  Mixer() { r->ramp_reciprocal = 1.0f / 128.0f; }
  // Voice i playing `sample` at a step of `step` samples per frame and full
  // left gain, with no ramp pending.
  MixVoice& play(int i, XmSample& sample, double step, int32_t gain = 255) {
    MixVoice& v = r->voices[i];
    v = MixVoice{};
    v.index = uint32_t(i);
    v.sample = &sample;
    v.direction = xm_forward;
    v.step_integer = uint32_t(step);
    v.step_fraction = uint32_t((step - std::floor(step)) * 4294967296.0);
    v.gain_a = gain;
    v.ramp_level_a = gain * 256;
    return v;
  }
  std::vector<float> mix(int frames) {
    std::vector<float> out(size_t(frames) * 2, 0.0f);
    xm_mix_voices(*r, out.data(), frames);
    return out;
  }
};

std::vector<float> left(const std::vector<float>& frames) {
  std::vector<float> out;
  for (size_t i = 0; i < frames.size(); i += 2) out.push_back(frames[i]);
  return out;
}

}  // namespace

TEST(XmMixer, OneShotStopsAtItsEnd) {
  HandSample s({1000, 2000, 3000, 4000}, xm_loop_none);
  Mixer m;
  m.play(0, s.sample, 1.0);
  EXPECT_EQ(left(m.mix(6)), (std::vector<float>{1000, 2000, 3000, 4000, 0, 0}));
  EXPECT_EQ(m.r->voices[0].sample, nullptr);
  EXPECT_EQ(m.r->voices[0].position, 0u);
  // At half speed the last value is interpolated towards the zero guard.
  m.play(0, s.sample, 0.5);
  EXPECT_EQ(left(m.mix(9)), (std::vector<float>{1000, 1500, 2000, 2500, 3000, 3500, 4000, 2000, 0}));
}

TEST(XmMixer, ForwardLoopOfOneValue) {
  HandSample s({100, 200, 300}, xm_loop_forward, 2, 1);
  Mixer m;
  m.play(0, s.sample, 1.0);
  EXPECT_EQ(left(m.mix(6)), (std::vector<float>{100, 200, 300, 300, 300, 300}));
  m.play(0, s.sample, 0.25);
  std::vector<float> slow = left(m.mix(16));
  EXPECT_EQ(slow[15], 300);
  EXPECT_EQ(m.r->voices[0].position, 2u);
}

TEST(XmMixer, StepLongerThanTheLoopWraps) {
  HandSample s({0, 1000, 2000, 3000, 4000}, xm_loop_forward, 2, 3);
  Mixer m;
  m.play(0, s.sample, 7.0);
  // Positions 0, 7 -> 4, 11 -> 2, 9 -> 3, 10 -> 4, ...
  EXPECT_EQ(left(m.mix(7)), (std::vector<float>{0, 4000, 2000, 3000, 4000, 2000, 3000}));
}

TEST(XmMixer, PingPongTurnsAtBothEnds) {
  std::vector<int16_t> values;
  for (int i = 0; i < 8; ++i) values.push_back(int16_t(i * 1000));
  HandSample s(values, xm_loop_ping_pong, 2, 4);
  Mixer m;
  MixVoice& v = m.play(0, s.sample, 1.0);
  std::vector<float> out = left(m.mix(40));
  bool turned_back = false, turned_forward = false;
  for (size_t i = 6; i < out.size(); ++i) {
    EXPECT_GE(out[i], 2000.0f - 1.0f) << i;
    EXPECT_LE(out[i], 5000.0f) << i;
    if (i > 6 && out[i] < out[i - 1]) turned_back = true;
    if (turned_back && out[i] > out[i - 1]) turned_forward = true;
  }
  EXPECT_TRUE(turned_back);
  EXPECT_TRUE(turned_forward);
  EXPECT_GE(v.position, 1u);
  EXPECT_LE(v.position, 5u);
  // A step longer than the loop still stays within it.
  m.play(0, s.sample, 9.75);
  for (float x : left(m.mix(50))) EXPECT_LE(x, 5000.0f);
  EXPECT_GE(m.r->voices[0].position, 1u);
  EXPECT_LE(m.r->voices[0].position, 5u);
}

TEST(XmMixer, PingPongFromZeroAtExactSteps) {
  HandSample s({500, 600}, xm_loop_ping_pong, 0, 2);
  Mixer m;
  m.play(0, s.sample, 1.0);
  for (float x : left(m.mix(64))) {
    EXPECT_GE(x, 500.0f);
    EXPECT_LE(x, 600.0f);
  }
  EXPECT_LE(m.r->voices[0].position, 1u);
}

TEST(XmMixer, RampReachesTargetAfter128Frames) {
  HandSample s(std::vector<int16_t>(16, 10000), xm_loop_forward, 0, 16);
  Mixer m;
  MixVoice& v = m.play(0, s.sample, 1.0);
  v.ramp_level_a = 0;  // from silence to full
  std::vector<float> out = left(m.mix(200));
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_NEAR(out[64], 5000.0f, 1.0f);
  EXPECT_NEAR(out[127], 10000.0f * 127 / 128, 1.0f);
  EXPECT_EQ(out[128], 10000.0f);
  EXPECT_EQ(out[199], 10000.0f);
  EXPECT_EQ(v.ramp_left, 0u);
  EXPECT_EQ(v.ramp_level_a, 255 * 256);
}

TEST(XmMixer, NoteChangeCrossFadesWithoutAStep) {
  HandSample s(std::vector<int16_t>(16, 8000), xm_loop_forward, 0, 16);
  Mixer m;
  MixVoice& old_voice = m.play(0, s.sample, 1.0);
  old_voice.gain_a = 0;  // fading out
  MixVoice& new_voice = m.play(32, s.sample, 1.0);
  new_voice.ramp_level_a = 0;  // fading in
  std::vector<float> out = left(m.mix(160));
  for (float x : out) EXPECT_NEAR(x, 8000.0f, 2.0f);
  // The old voice goes on silently until its sample ends or it is retriggered.
  EXPECT_NE(m.r->voices[0].sample, nullptr);
}

TEST(XmMixer, SilentVoiceStillReachesItsEnd) {
  HandSample s(std::vector<int16_t>(100, 1234), xm_loop_none);
  Mixer m;
  m.play(0, s.sample, 1.0, 0);
  EXPECT_EQ(left(m.mix(99)), std::vector<float>(99, 0.0f));
  EXPECT_NE(m.r->voices[0].sample, nullptr);
  m.mix(1);
  EXPECT_EQ(m.r->voices[0].sample, nullptr);
}

TEST(XmMixer, ConvertRoundsToEvenAndClips) {
  const float in[8] = {40000.0f, -40000.0f, 32767.5f, -32768.5f, 1.5f, 2.5f, -0.5f, -1.5f};
  int16_t out[8] = {};
  xm_convert_block(out, in, 4);
  EXPECT_EQ(out[0], 32767);
  EXPECT_EQ(out[1], -32768);
  EXPECT_EQ(out[2], 32767);
  EXPECT_EQ(out[3], -32768);
  EXPECT_EQ(out[4], 2);
  EXPECT_EQ(out[5], 2);
  EXPECT_EQ(out[6], 0);
  EXPECT_EQ(out[7], -2);
  int16_t untouched[2] = {7, 7};
  xm_convert_block(untouched, in, 0);
  EXPECT_EQ(untouched[0], 7);
}

namespace {
int ticks_seen = 0;
void counting_tick(XmModule& m) {
  ++ticks_seen;
  xm_tick(m);
}
}  // namespace

TEST(XmMixer, TicksFallOnExactFramesAcrossBlocks) {
  xmw::Song song = one_channel_song(square_sample());
  ModulePtr module = load_song(song);
  RendererPtr r = start_renderer(*module);
  module->tick_function = counting_tick;
  ticks_seen = 0;
  xm_fill_block(*r);
  EXPECT_EQ(ticks_seen, 2) << "the second tick starts at frame 882 of 884";
  EXPECT_EQ(module->samples_left_in_tick, 880);
  EXPECT_EQ(module->elapsed_ms, 19u) << "882 frames count 19 ms, 2 frames 0";
  BlockRecord record = r->records[0];
  EXPECT_EQ(record.elapsed_ms, 19u);
  EXPECT_EQ(r->fill_index, 1);
  xm_fill_block(*r);
  EXPECT_EQ(ticks_seen, 3);
  for (int i = 2; i < xm_ring_blocks; ++i) xm_fill_block(*r);
  EXPECT_EQ(r->fill_index, 0);
}

TEST(XmMixer, LoudSumsClipInTheRing) {
  xmw::Song song;
  song.channels = 8;
  xmw::Pattern p;
  p.rows = 4;
  for (int c = 0; c < 8; ++c) xmw::at(p, 8, 0, c) = {xmw::note("C-4"), 1, 0, 0, 0};
  song.patterns = {p};
  xmw::Sample loud;
  loud.values.assign(64, 32000);
  loud.loop_type = 1;
  loud.loop_length = 64;
  song.instruments = {xmw::single_sample_instrument(loud)};
  ModulePtr module = load_song(song);
  RendererPtr r = start_renderer(*module);
  for (int i = 0; i < 4; ++i) xm_fill_block(*r);
  const int16_t* block = xm_ring_block(*r, 3);
  EXPECT_EQ(block[0], 32767);
  EXPECT_EQ(block[1], 32767);
}
