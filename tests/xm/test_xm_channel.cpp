// Channel operations: envelopes, vibrato, tremolo, tremor, portamento,
// arpeggio in both frequency modes, the period and frequency formulas.
#include <gtest/gtest.h>

#include "tests/xm/xm_test_support.h"
#include "xm/xm_channel.h"

using namespace xmw;

namespace {

XmChannel fresh_channel() {
  XmChannel ch{};
  ch.volume_envelope.value = 64;
  ch.panning_envelope.value = 32;
  return ch;
}

std::vector<int> envelope_values(XmChannel& ch, const EnvelopePoint* points, int count, uint8_t type, int sustain,
                                 int loop_start, int loop_end, int steps) {
  std::vector<int> out;
  for (int i = 0; i < steps; ++i) {
    xm_envelope_step(ch, points, count, type, sustain, loop_start, loop_end, ch.volume_envelope, xm_update_volume);
    out.push_back(ch.volume_envelope.value);
  }
  return out;
}

}  // namespace

TEST(XmChannel, EnvelopeSustainHoldsUntilKeyOff) {
  EnvelopePoint points[20] = {{0, 0}, {2, 64}, {4, 32}};
  XmChannel ch = fresh_channel();
  uint8_t type = xm_envelope_on | xm_envelope_sustain;
  EXPECT_EQ(envelope_values(ch, points, 3, type, 1, 0, 0, 5), (std::vector<int>{0, 32, 64, 64, 64}));
  EXPECT_EQ(ch.volume_envelope.tick, 2) << "the tick does not advance while held";
  ch.key_off = 1;
  EXPECT_EQ(envelope_values(ch, points, 3, type, 1, 0, 0, 3), (std::vector<int>{64, 48, 32}));
  EXPECT_EQ(ch.volume_envelope.stopped, 1);
}

TEST(XmChannel, EnvelopeLoopJumpsBack) {
  EnvelopePoint points[20] = {{0, 64}, {2, 0}, {4, 64}, {10, 0}};
  XmChannel ch = fresh_channel();
  uint8_t type = xm_envelope_on | xm_envelope_loop;
  EXPECT_EQ(envelope_values(ch, points, 4, type, 0, 1, 2, 8), (std::vector<int>{64, 32, 0, 32, 0, 32, 0, 32}));
  EXPECT_EQ(ch.volume_envelope.stopped, 0);
}

TEST(XmChannel, VibratoWaveforms) {
  XmChannel ch = fresh_channel();
  ch.vibrato_depth = 8;
  ch.vibrato_position = 16;  // sine peak
  int peak = xm_wave_value(0, 16);
  EXPECT_GE(peak, 255);
  xm_vibrato(ch);
  EXPECT_EQ(ch.period_delta, -((8 * peak / 32) & ~3));
  ch.vibrato_position = -16;
  xm_vibrato(ch);
  EXPECT_EQ(ch.period_delta, (8 * peak / 32) & ~3);
  ch.vibrato_position = 8;
  xm_vibrato(ch);
  EXPECT_EQ(ch.period_delta, -((8 * 181 / 32) & ~3)) << "sin(pi/4) x 256 = 181";
  ch.wave_control = 1;  // ramp
  ch.vibrato_position = 4;
  xm_vibrato(ch);
  EXPECT_EQ(ch.period_delta, -((8 * 32 / 32) & ~3));
  ch.wave_control = 2;  // square
  ch.vibrato_position = 0;
  xm_vibrato(ch);
  EXPECT_EQ(ch.period_delta, -((8 * 255 / 32) & ~3));
  EXPECT_TRUE(ch.update_flags & xm_update_frequency);
  EXPECT_EQ(xm_wave_value(0, 0), 0);
  EXPECT_EQ(xm_wave_value(1, -32), 255);
}

TEST(XmChannel, TremoloStaysWithinVolumeRange) {
  XmChannel ch = fresh_channel();
  ch.tremolo_depth = 15;
  ch.tremolo_speed = 8;
  ch.wave_control = 0x20;  // square: 255
  ch.volume = 60;
  ch.tremolo_position = 0;
  xm_tremolo(ch);
  EXPECT_EQ(ch.volume_delta, 4) << "never above 64";
  EXPECT_EQ(ch.tremolo_position, 8);
  ch.volume = 10;
  ch.tremolo_position = -8;
  xm_tremolo(ch);
  EXPECT_EQ(ch.volume_delta, -10) << "never below 0";
}

TEST(XmChannel, TremorSilencesForOffTicks) {
  XmChannel ch = fresh_channel();
  ch.volume = 50;
  ch.tremor_on = 2;
  ch.tremor_off = 3;
  std::vector<int> deltas;
  for (int i = 0; i < 10; ++i) {
    ch.volume_delta = 0;
    xm_tremor(ch);
    deltas.push_back(ch.volume_delta);
  }
  EXPECT_EQ(deltas, (std::vector<int>{0, 0, -50, -50, -50, 0, 0, -50, -50, -50}));
}

TEST(XmChannel, TonePortamentoStopsAtTarget) {
  XmChannel ch = fresh_channel();
  ch.period = 1000;
  ch.porta_target = 1030;
  ch.porta_speed = 4;
  xm_tone_portamento(ch);
  EXPECT_EQ(ch.period, 1016);
  xm_tone_portamento(ch);
  EXPECT_EQ(ch.period, 1030);
  ch.porta_target = 1000;
  xm_tone_portamento(ch);
  xm_tone_portamento(ch);
  EXPECT_EQ(ch.period, 1000);
}

TEST(XmChannel, PeriodsAndFrequencies) {
  EXPECT_EQ(xm_amiga_period(48, 0), 1712);
  EXPECT_LT(xm_amiga_period(48, 64), 1712);
  EXPECT_GT(xm_amiga_period(48, -64), 1712);
  EXPECT_LT(xm_amiga_period(60, 0), 857);
  EXPECT_EQ(xm_linear_frequency(4608, 0), 8363);
  int up = xm_linear_frequency(4608, 64);
  EXPECT_NEAR(up / 8363.0, 1.0594631, 0.0005) << "64 raises by a semitone";
  EXPECT_EQ(xm_amiga_frequency(1712, 0), 8362);
  EXPECT_EQ(xm_amiga_frequency(0, 0), 0);
  // Far below the table the linear frequency stays an int32.
  EXPECT_EQ(xm_linear_frequency(-100000, 0), 2147483520);
  uint32_t integer = 0, fraction = 0;
  xm_frequency_to_step(50, integer, fraction);
  uint32_t i100 = 0, f100 = 0;
  xm_frequency_to_step(100, i100, f100);
  EXPECT_EQ(fraction, f100) << "below 100 Hz steps as 100 Hz";
  xm_frequency_to_step(88200, integer, fraction);
  EXPECT_EQ(integer, 2u);
  EXPECT_EQ(fraction, 0u);
}

TEST(XmChannel, AutoVibratoSweepsIn) {
  XmInstrument ins{};
  ins.vibrato_type = 1;
  ins.vibrato_depth = 64;
  ins.vibrato_sweep = 4;
  ins.vibrato_rate = 10;
  XmChannel ch = fresh_channel();
  std::vector<int> deltas;
  for (int i = 0; i < 6; ++i) {
    ch.period_delta = 0;
    xm_auto_vibrato(ch, ins);
    deltas.push_back(ch.period_delta);
  }
  EXPECT_EQ(deltas, (std::vector<int>{0, 16, 32, 48, 64, 64}));
  ins.vibrato_type = 9;  // unknown types play the sine
  ch.auto_vibrato_position = 64;
  ch.period_delta = 0;
  xm_auto_vibrato(ch, ins);
  EXPECT_EQ(ch.period_delta, 64);
}

TEST(XmChannel, PanningEnvelopeRoomFollowsPan) {
  Song song = one_channel_song(square_sample());
  ModulePtr m = load_song(song);
  RendererPtr r = start_renderer(*m);
  XmChannel& ch = m->channels[0];
  ch.volume = 64;
  ch.volume_envelope.value = 64;
  ch.fade_volume = 65536;
  ch.panning_envelope.value = 64;
  for (int pan : {0, 255, 128}) {
    ch.pan = pan;
    ch.update_flags = xm_update_volume | xm_update_panning;
    xm_update_voice(ch, m->instruments[0].samples[0], *m);
    EXPECT_EQ(ch.voice->pan, pan == 128 ? 255 : pan);  // 128 + 4 x 32, limited
  }
  EXPECT_EQ(ch.voice->volume, 127);
  EXPECT_EQ(ch.voice->gain_a, 0) << "pan 255: nothing on the left";
  EXPECT_EQ(ch.voice->gain_b, 127);
}

TEST(XmChannel, ArpeggioInBothModes) {
  for (uint16_t flags : {uint16_t(0), uint16_t(1)}) {
    Song song = one_channel_song(square_sample());
    song.flags = flags;
    song.speed = 4;
    at(song.patterns[0], 1, 0, 0) = {note("C-4"), 1, 0, 0x00, 0x47};
    ModulePtr m = load_song(song);
    RendererPtr r = start_renderer(*m);
    std::vector<int> deltas;
    for (int t = 0; t < 4; ++t) {
      m->tick_function(*m);
      deltas.push_back(m->channels[0].period_delta);
    }
    if (flags) {
      EXPECT_EQ(deltas, (std::vector<int>{0, 4 * 64, 7 * 64, 0}));
    } else {
      EXPECT_EQ(deltas[1], xm_amiga_period(52, 0) - xm_amiga_period(48, 0));
      EXPECT_EQ(deltas[2], xm_amiga_period(55, 0) - xm_amiga_period(48, 0));
      EXPECT_LT(deltas[1], 0) << "Amiga: a smaller period is a higher note";
    }
  }
}
