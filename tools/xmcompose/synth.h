// Instrument synthesis: turns a few musical parameters into one XM sample.
// Tonal voices are built so that a pattern note plays at its true pitch
// (relative note and finetune are derived from the cycle length); drums and
// noises play at their generation rate on C-4.
#pragma once
#include <string>

#include "score.h"

namespace xmc {

enum class SynthKind { tone, pluck, fm, kick, snare, hat, noise };
enum class Wave { saw, square, pulse, triangle, sine, organ };
enum class Filter { none, lowpass, highpass, bandpass };

struct SynthParams {
  SynthKind kind = SynthKind::tone;
  Wave wave = Wave::saw;
  double width = 0.5;      // pulse duty
  int harmonics = 16;      // highest partial of tonal waves
  double bright = 0;       // partial number where the spectrum rolls off, 0 = open
  int voices = 1;          // chorus oscillators
  int spread = 1;          // cycles between neighbouring chorus oscillators
  int cycle = 64;          // samples per period
  int cycles = 1;          // periods in the loop of a tone
  double drive = 0;        // tanh saturation, 0 = clean
  int center = 48;         // 0-based note at which milliseconds are measured
  double length_ms = 400;
  double decay_ms = 200;
  int ratio = 2;           // fm modulator ratio
  double index = 3, index_end = 0.5;
  double pitch = 160, tone = 50, sweep_ms = 40;  // drum pitches
  double noise = 0.6;      // snare noise share
  Filter filter = Filter::none;
  double cutoff = 4000, resonance = 0.7;
  double rate = 33452;     // generation rate of drums and noises
  int native = 48;         // 0-based note at which a drum or noise plays at that rate
  double gain = 0.9;       // peak as share of full scale
  int bits = 16;
  LoopMode loop = LoopMode::none;
  bool loop_given = false;
  double loop_start_ms = 0;
  int seed = 1;
  int finetune = 0;        // added to the derived finetune
};

// Fills inst.sample (values, loop, tuning). Returns false with a message when
// the parameters cannot make a sample.
bool synthesise(const SynthParams& p, Sample& out, std::string& error);

}  // namespace xmc
