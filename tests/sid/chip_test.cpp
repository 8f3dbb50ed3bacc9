// SID register effects: what a write does to the oscillators, envelopes, filter,
// volume and digi channel, seen through the chip's own mix where possible; then
// the board's output coupling that turns the mix into the samples played.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "sid/sid_chip.h"

namespace {

struct Chip : ::testing::Test {
  SidChip chip;
  std::vector<uint8_t> memory = std::vector<uint8_t>(65536, 0);
  void SetUp() override { synth_init(chip, 44100); }
  void write(uint8_t reg, uint8_t value) { sid_write_register(chip, reg, value); }
  // The chip's own mix, before the board's coupling.
  std::vector<int32_t> render(uint32_t n) {
    std::vector<int32_t> out(n);
    synth_render_mix(chip, memory.data(), out.data(), n);
    return out;
  }
  // Voices 2 and 3 out of the mix: 2 into the filter with no output on, 3 muted.
  void only_voice_1(uint8_t volume) {
    write(23, 0x02);
    write(24, uint8_t(0x80 | volume));
  }
};

TEST_F(Chip, RateTablesAt44100) {
  const uint32_t attack[16] = {168867, 47495, 24124, 15998, 10200, 6908, 5692, 4855,
                               3877, 1555, 777, 486, 389, 129, 77, 48};
  const uint32_t release[16] = {42660, 15468, 7857, 5210, 3322, 2250, 1853, 1581,
                                1262, 506, 253, 158, 126, 42, 25, 15};
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(chip.attack_rate[i], attack[i]) << i;
    EXPECT_EQ(chip.release_rate[i], release[i]) << i;
  }
  EXPECT_EQ(chip.frequency_multiplier, 359u);
  EXPECT_EQ(chip.filter_multiplier, 32u);
}

TEST_F(Chip, FrequencyAndPulseWidth) {
  write(0, 0xD6);
  write(1, 0x1C);
  write(2, 0x00);
  write(3, 0x08);
  render(1);
  EXPECT_EQ(chip.voice[0].increment, 2650138u);
  EXPECT_EQ(chip.voice[0].counter, 2650138u);
  EXPECT_EQ(chip.voice[0].pulse_level, 0x8000000u);

  // Pulse $800 is high for the first half of each 101.29-sample period.
  write(4, 0x41);
  write(5, 0x00);
  write(6, 0xF0);
  only_voice_1(15);
  render(300);  // attack, decay, then steady sustain
  chip.voice[0].counter = 0;
  auto out = render(1013);  // ten periods
  int high = 0, low = 0;
  for (int32_t s : out) (s > 0 ? high : low) += 1;
  EXPECT_NEAR(high, 506, 10);
  EXPECT_EQ(out[0], (127 * 0xF00000 >> 22) * 15);
  EXPECT_EQ(out[60], (-128 * 0xF00000 >> 22) * 15);
}

TEST_F(Chip, GateDrivesEnvelopePhases) {
  write(4, 0x41);
  EXPECT_EQ(chip.voice[0].envelope_phase, envelope_attack);
  auto out = render(99);
  EXPECT_EQ(chip.voice[0].envelope_phase, envelope_attack);
  render(1);  // attack 0 needs exactly 100 samples (168,867 each)
  EXPECT_EQ(chip.voice[0].envelope_phase, envelope_decay);
  EXPECT_EQ(chip.voice[0].envelope, 0xFFFFFF);
  write(4, 0x41);  // gate held: no restart
  EXPECT_EQ(chip.voice[0].envelope_phase, envelope_decay);
  write(4, 0x40);
  EXPECT_EQ(chip.voice[0].envelope_phase, envelope_release);
  render(2000);  // release 0 falls to its floor, never to 0
  EXPECT_EQ(chip.voice[0].envelope, 0x40000);
  write(4, 0x41);  // a restart continues from the current level
  EXPECT_EQ(chip.voice[0].envelope_phase, envelope_attack);
  render(1);
  EXPECT_EQ(chip.voice[0].envelope, 0x40000 + 168867);
}

TEST_F(Chip, SustainLevelAndFullEnvelopeOutput) {
  write(6, 0x80);
  write(4, 0x01);
  render(400);
  EXPECT_EQ(chip.voice[0].envelope_phase, envelope_sustain);
  EXPECT_EQ(chip.voice[0].envelope, 0x800000);
  write(6, 0xC0);  // raised sustain is reached in one step
  render(2);
  EXPECT_EQ(chip.voice[0].envelope, 0xC00000);

  // No waveform bit: the voice outputs $FF, 507 at full envelope.
  synth_init(chip, 44100);
  only_voice_1(1);
  chip.voice[0].envelope = 0xFFFFFF;
  EXPECT_EQ(render(1)[0], 507);
}

TEST_F(Chip, FilterCoefficientSaturates) {
  write(21, 0x07);
  write(22, 0x7F);
  render(1);
  EXPECT_EQ(chip.filter.coefficient, (16 * 0x7F + 7) * 32);
  write(22, 0x80);
  render(1);
  EXPECT_EQ(chip.filter.coefficient, 65536);
  write(22, 0xFF);
  render(1);
  EXPECT_EQ(chip.filter.coefficient, 65536);
  write(23, 0xF0);
  render(1);
  EXPECT_EQ(chip.filter.resonance, 153);
}

TEST_F(Chip, Voice3OffMutesItRoutedOrNot) {
  for (uint8_t routing : {uint8_t(0x03), uint8_t(0x07)}) {
    synth_init(chip, 44100);
    write(14 + 1, 0x10);
    write(14 + 6, 0xF0);
    write(14 + 4, 0x11);  // triangle on voice 3
    write(22, 0x40);
    write(23, routing);  // voices 1 and 2 filtered but no filter output in $8F
    write(24, 0x8F);
    for (int32_t s : render(500)) ASSERT_EQ(s, 0) << int(routing);
    write(24, 0x1F);  // voice 3 back on, low-pass on
    int loud = 0;
    for (int32_t s : render(500)) loud += s != 0;
    EXPECT_GT(loud, 400) << int(routing);
  }
}

TEST_F(Chip, HardSyncAndRingModulation) {
  write(1, 0x01);        // voice 1 slow
  write(14 + 1, 0xFF);   // voice 3 wraps every ~11.5 samples
  write(4, 0x12);        // voice 1 triangle, sync
  int syncs = 0;
  bool reference_wrapped = false;
  for (int i = 0; i < 60; ++i) {
    render(1);
    // Voice 1 sees voice 3 as it stood after the previous sample.
    if (reference_wrapped) {
      EXPECT_LT(chip.voice[0].counter, chip.voice[0].increment) << i;
      ++syncs;
    }
    reference_wrapped = chip.voice[2].counter < chip.voice[2].increment;
  }
  EXPECT_GE(syncs, 4);
  EXPECT_GT(chip.voice[0].counter, 0u);

  // Ring modulation inverts the triangle while the reference's top bit is clear.
  synth_init(chip, 44100);
  only_voice_1(15);
  chip.voice[0].envelope = 0xFFFFFF;
  write(6, 0xF0);
  write(4, 0x15);
  chip.voice[0].counter = 0x1000000 - chip.voice[0].increment;  // triangle near 32
  chip.voice[2].counter = 0;                                    // bit 27 clear
  const int32_t inverted = render(1)[0];
  synth_init(chip, 44100);
  only_voice_1(15);
  chip.voice[0].envelope = 0xFFFFFF;
  write(6, 0xF0);
  write(4, 0x11);
  const int32_t plain = render(1)[0];
  EXPECT_LT(plain, 0);
  EXPECT_GT(inverted, 0);
}

TEST_F(Chip, VolumeAndDigiChannel) {
  for (int i = 0; i < 16; ++i) memory[0x3000 + i] = uint8_t(0xF0 | (i & 15));
  write(24, 0x00);  // voices silent at volume 0
  digi_write(chip, 0xD41E, 0x00);
  digi_write(chip, 0xD41F, 0x30);
  digi_write(chip, 0xD43D, 0x10);
  digi_write(chip, 0xD43E, 0x30);
  digi_write(chip, 0xD45D, 0x40);  // 64 cycles per nibble: ~15,394 nibbles/s
  digi_write(chip, 0xD41D, 0xFE);
  auto out = render(200);
  int nonzero = 0;
  for (int32_t s : out) nonzero += s != 0;
  EXPECT_GT(nonzero, 80);  // 32 nibbles of ~2.9 samples, then silence
  for (int i = 100; i < 200; ++i) ASSERT_EQ(out[i], 0);
  EXPECT_EQ(out[0], 0);           // the level starts at 0
  bool high_nibble_seen = false;  // high nibbles $F: (15 - 7) x 1,024
  for (int32_t s : out) high_nibble_seen |= s == 8192;
  EXPECT_TRUE(high_nibble_seen);

  digi_write(chip, 0xD41D, 0xFC);  // registers copied again, still playing
  EXPECT_EQ(chip.digi.active, 1);
  EXPECT_EQ(chip.digi.position, 0x3000);
  digi_write(chip, 0xD41D, 0xFD);
  EXPECT_EQ(chip.digi.active, 0);

  digi_write(chip, 0xD45D, 0x00);  // period 0: silent, no division
  digi_write(chip, 0xD41D, 0xFF);
  for (int32_t s : render(100)) ASSERT_EQ(s, 0);

  // Played to its end the sample falls silent.
  digi_write(chip, 0xD45D, 0x01);
  digi_write(chip, 0xD41D, 0xFF);
  render(100);
  for (int32_t s : render(10)) ASSERT_EQ(s, 0);
}

TEST_F(Chip, AMutedVoiceIsSilentButStillDrivesSync) {
  // Voice 1: sawtooth hard-synced to a fast voice 3; voice 3 itself audible.
  write(1, 0x08);
  write(6, 0xF0);
  write(4, 0x23);
  write(14 + 1, 0x30);
  write(14 + 6, 0xF0);
  write(14 + 4, 0x21);
  write(24, 0x0F);
  SidChip voice_3_muted = chip;
  voice_3_muted.muted_voices = 0b110;
  SidChip voice_3_filtered_away = chip;  // the chip's own way of not hearing voices 2 and 3
  voice_3_filtered_away.registers.routing_resonance = 0x06;
  SidChip all_muted = chip;
  all_muted.muted_voices = 0b111;
  std::vector<int32_t> a(2000), b(2000), c(2000);
  synth_render_mix(voice_3_muted, memory.data(), a.data(), 2000);
  synth_render_mix(voice_3_filtered_away, memory.data(), b.data(), 2000);
  synth_render_mix(all_muted, memory.data(), c.data(), 2000);
  EXPECT_EQ(a, b);
  for (int32_t s : c) ASSERT_EQ(s, 0);
  int loud = 0;
  for (int32_t s : a) loud += s != 0;
  EXPECT_GT(loud, 1900);
  synth_init(chip, 44100);
  EXPECT_EQ(chip.muted_voices, 0);
}

// The board's output stage: y[n] = x[n] - x[n-1] + R y[n-1], R = 1 - 2 pi 16 / 44,100.
struct Coupling : ::testing::Test {
  SidChip chip;
  void SetUp() override { synth_init(chip, 44100); }
  double pole() const { return 1.0 - 2.0 * std::numbers::pi * 16.0 / 44100.0; }
};

TEST_F(Coupling, ADcStepDecaysToZeroWithThe16HzTimeConstant) {
  EXPECT_DOUBLE_EQ(chip.coupling.pole, pole());
  constexpr int32_t step = 20000;
  std::vector<int16_t> y;
  for (int n = 0; n < 44100; ++n) y.push_back(sid_output_sample(chip.coupling, step));
  EXPECT_EQ(y[0], step);  // the edge passes whole
  // y[n] = step x R^n, rounded to nearest (a truncating stage would miss by up to 1).
  for (int n : {1, 2, 10, 100, 439, 1000, 2000, 4000})
    EXPECT_NEAR(y[n], step * std::pow(pole(), n), 0.5 + 1e-6) << n;
  // One time constant, 1 / (2 pi 16 Hz) = 9.95 ms = 438.6 samples, leaves 1/e.
  int first_below = 0;
  while (y[first_below] > step / std::exp(1.0)) ++first_below;
  EXPECT_EQ(first_below, 439);
  // Twenty time constants later nothing is left; the same for a falling step.
  for (int n = 20 * 439; n < 44100; ++n) ASSERT_EQ(y[n], 0) << n;
  EXPECT_EQ(sid_output_sample(chip.coupling, 0), -step);
}

TEST_F(Coupling, A440HzTonePassesWithin0_1dB) {
  double in_energy = 0, out_energy = 0;
  for (int n = 0; n < 44100; ++n) {
    const double x = 16000 * std::sin(2 * std::numbers::pi * 440 * n / 44100.0);
    const int16_t y = sid_output_sample(chip.coupling, int32_t(std::lrint(x)));
    if (n < 4410) continue;  // settled after 0.1 s (ten time constants)
    in_energy += x * x;
    out_energy += double(y) * y;
  }
  const double gain_db = 10 * std::log10(out_energy / in_energy);
  EXPECT_NEAR(gain_db, 0.0, 0.1);
  // |H| = |1 - e^-jw| / |1 - R e^-jw| at w = 2 pi 440 / 44,100: +0.004 dB.
  const double w = 2 * std::numbers::pi * 440 / 44100.0;
  const double expected = 2 * std::sin(w / 2) / std::sqrt(1 - 2 * pole() * std::cos(w) + pole() * pole());
  EXPECT_NEAR(gain_db, 20 * std::log10(expected), 0.001);
}

TEST_F(Coupling, TheChipsDcIsRemovedAndItsToneKept) {
  // A 440 Hz pulse of width 25 % carries a DC of about half its swing.
  std::vector<uint8_t> memory(65536, 0);
  const int frequency = 7460;  // x 359 per sample of a 2^28 cycle at 44,100 Hz: 440 Hz
  for (auto [reg, value] : {std::pair{0, frequency & 0xFF}, {1, frequency >> 8}, {2, 0x00}, {3, 0x04},
                            {5, 0x00}, {6, 0xF0}, {23, 0x06}, {24, 0x8F}, {4, 0x41}})
    sid_write_register(chip, uint8_t(reg), uint8_t(value));
  SidChip mirror = chip;
  std::vector<int32_t> mix(44100);
  std::vector<int16_t> out(44100);
  synth_render_mix(mirror, memory.data(), mix.data(), 44100);
  for (uint32_t done = 0; done < 44100; done += 882)  // across render calls
    synth_render(chip, memory.data(), out.data() + done, 882);
  double mix_mean = 0, out_mean = 0;
  for (int n = 22050; n < 44100; ++n) {
    mix_mean += mix[n] / 22050.0;
    out_mean += out[n] / 22050.0;
  }
  double mix_ac = 0, out_ac = 0;
  for (int n = 22050; n < 44100; ++n) {
    mix_ac += (mix[n] - mix_mean) * (mix[n] - mix_mean);
    out_ac += (out[n] - out_mean) * (out[n] - out_mean);
  }
  EXPECT_LT(mix_mean, -2500);
  EXPECT_NEAR(out_mean, 0, 5);
  EXPECT_NEAR(10 * std::log10(out_ac / mix_ac), 0.0, 0.1);

  // The stage's state carried across the calls: the same as one sample at a time.
  OutputCoupling replay;
  replay.pole = pole();
  for (int n = 0; n < 44100; ++n) ASSERT_EQ(out[n], sid_output_sample(replay, mix[n])) << n;

  synth_init(chip, 44100);  // and a new start forgets it
  EXPECT_EQ(chip.coupling.last_input, 0.0);
  EXPECT_EQ(chip.coupling.last_output, 0.0);
}

TEST_F(Coupling, RoundsToNearestWithTiesToEven) {
  // With pole 0.5 and a last output of 1, y = x + 0.5; with 1.2, y = x + 0.6.
  auto out = [](int32_t x, double last_output) {
    OutputCoupling c{.pole = 0.5, .last_input = 0, .last_output = last_output};
    return sid_output_sample(c, x);
  };
  EXPECT_EQ(out(2, 1), 2);
  EXPECT_EQ(out(3, 1), 4);
  EXPECT_EQ(out(-3, 1), -2);
  EXPECT_EQ(out(-4, 1), -4);
  EXPECT_EQ(out(2, 1.2), 3);
  EXPECT_EQ(out(-3, 1.2), -2);
  EXPECT_EQ(out(-3, -1.2), -4);
  EXPECT_EQ(out(5, 0.8), 5);
}

TEST_F(Coupling, SaturatesInsteadOfWrapping) {
  EXPECT_EQ(sid_output_sample(chip.coupling, 100000), 32767);
  EXPECT_EQ(sid_output_sample(chip.coupling, -100000), -32768);
  // The chip's own mix can pass 16 bits: the filter at full output, volume 15.
  std::vector<uint8_t> memory(65536, 0);
  sid_write_register(chip, 24, 0x1F);
  int32_t mix = 0;
  synth_render_mix(chip, memory.data(), &mix, 1);
  chip.filter.low = 0x7FFF0000;
  synth_render_mix(chip, memory.data(), &mix, 1);
  EXPECT_GT(mix, 32767 * 14);
}

}  // namespace
