#pragma once
// SidChip: a fixed-point model of the C64's SID, rendering 16-bit mono samples.
//
// Three voices, each a 28-bit phase accumulator feeding triangle, sawtooth, pulse
// and noise (ANDed when several are chosen), with hard sync, ring modulation and
// an ADSR envelope; a resonant state-variable filter (low, band, high); a 4-bit
// volume; and a digi channel that plays 4-bit samples out of C64 memory when a
// tune programs the extended registers in the SID's mirror range.
//
// Not modelled: combined-waveform quirks, the envelope's ADSR delay bug, the
// 6581/8580 analogue filter curve, potentiometers, the oscillator 3 read-back.
//
// After the chip sits the C64 board's AC-coupled output: a first-order
// high-pass at 16 Hz that takes away the DC the voices carry (a voice with no
// waveform outputs $FF times its envelope; released voices never reach 0).
// synth_render_mix gives the chip's own output, synth_render the board's.
//
// Drive it with sid_write_register / digi_write as the CPU writes, and
// synth_render once per chunk. Register changes reach the sound at the start of
// the next render call; gate changes move the envelope phase at once.
#include <cstdint>

struct SidVoiceRegisters {
  uint16_t frequency = 0;
  uint16_t pulse_width = 0;      // 12 bit
  uint8_t control = 0;           // 7 noise, 6 pulse, 5 saw, 4 tri, 3 test, 2 ring, 1 sync, 0 gate
  uint8_t attack_decay = 0;
  uint8_t sustain_release = 0;
};

struct SidRegisters {
  SidVoiceRegisters voice[3];
  uint8_t cutoff_low = 0;        // bits 0-2
  uint8_t cutoff_high = 0;
  uint8_t routing_resonance = 0; // 7-4 resonance, 0-2 voices through the filter
  uint8_t mode_volume = 0;       // 7 voice 3 off, 6 hp, 5 bp, 4 lp, 3-0 volume
};

enum EnvelopePhase : uint8_t { envelope_attack = 0, envelope_decay = 1, envelope_sustain = 2, envelope_release = 3 };

struct Oscillator {
  // Derived from the registers at the start of each render call.
  uint32_t increment = 0;        // per sample, 28-bit phase units
  uint32_t pulse_level = 0;      // 28-bit phase units
  uint8_t waveform = 0;
  uint8_t filtered = 0;
  uint32_t attack = 0;           // envelope units per sample (envelope is 0..$FFFFFF)
  uint32_t decay = 0;
  uint32_t sustain = 0;          // level is sustain << 16
  uint32_t release = 0;
  // Running state.
  uint32_t counter = 0;          // 28 bit
  int32_t envelope = 0;          // 0..$FFFFFF
  uint8_t envelope_phase = envelope_attack;
  uint32_t noise_step = 0;
  uint32_t noise_shift = 0xFFFFFF;  // bits 0-22 matter
  uint8_t noise_output = 0;
};

struct FilterState {
  int32_t coefficient = 0;       // 16.16, at most 65,536
  uint8_t low_on = 0, band_on = 0, high_on = 0;
  uint8_t voice3_on = 1;
  int32_t volume = 0;
  int32_t resonance = 0;         // feedback, 8.8
  int32_t high = 0, band = 0, low = 0;  // 16.16
};

struct DigiChannel {
  // Extended registers as written.
  uint16_t start = 0, end = 0, repeat_start = 0, period = 0;
  uint8_t repeat_count = 0;
  uint8_t order = 0;              // 0: each byte's low nibble first; else high first
  // Playing set, copied at a trigger, which starts at the first nibble again.
  int32_t active = 0;
  int32_t position = 0, play_start = 0, play_end = 0, play_repeat_start = 0;
  int32_t play_period = 0, repeats = 0, play_order = 0;
  int32_t clock = 0;              // rate units; a nibble each time it passes the rate
  int32_t nibble = 0;             // of the byte at position: 0 first, 1 second (-1: none yet)
  // Added to every output sample while a sample plays.
  int32_t level = 0;
};

// The board's coupling capacitor: y[n] = x[n] - x[n-1] + pole * y[n-1].
struct OutputCoupling {
  double pole = 0;           // 1 - 2 pi 16 Hz / rate
  double last_input = 0;     // x[n-1], the chip's mix
  double last_output = 0;    // y[n-1], before rounding
};

struct SidChip {
  SidRegisters registers;
  Oscillator voice[3];
  FilterState filter;
  DigiChannel digi;
  OutputCoupling coupling;
  uint8_t muted_voices = 0;      // bit v: voice v still runs but reaches neither filter nor mix
  uint32_t rate = 44100;
  uint32_t frequency_multiplier = 359;
  uint32_t filter_multiplier = 32;
  uint32_t attack_rate[16] = {};
  uint32_t release_rate[16] = {};
};

constexpr double sid_coupling_hz = 16.0;

// Sets the constants for the rate and clears registers, voices, filter, the
// output coupling, the mutes and the digi channel (its output level is kept).
void synth_init(SidChip& chip, uint32_t rate);
// register 0..31 (address AND $1F).
void sid_write_register(SidChip& chip, uint8_t reg, uint8_t value);
// The digi channel's registers, by full address ($D419..$D7FF).
void digi_write(SidChip& chip, uint16_t address, uint8_t value);
// Renders count samples as the C64 outputs them: the chip's mix through the
// coupling, rounded to nearest and saturated to 16 bits. memory is the 64 KB
// image the digi channel reads.
void synth_render(SidChip& chip, const uint8_t* memory, int16_t* out, uint32_t count);
// The chip's own output: voices, filter, volume and digi, before the board.
void synth_render_mix(SidChip& chip, const uint8_t* memory, int32_t* mix, uint32_t count);
// One sample of the board's output stage; keeps its state in the coupling.
int16_t sid_output_sample(OutputCoupling& coupling, int32_t mix);
// Adds the digi channel to one mixed sample and steps it.
int32_t digi_mix(SidChip& chip, const uint8_t* memory, int32_t sample);
