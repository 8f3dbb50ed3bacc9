// Instrument synthesis. Everything is computed in doubles from fixed seeds, so
// the same score always gives the same bytes.
#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace xmc {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Small LCG: the noise must not depend on the C library.
struct Noise {
  uint32_t state;
  explicit Noise(int seed) : state(static_cast<uint32_t>(seed) * 2654435761u + 12345u) {}
  double next() {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / 8388608.0 - 1.0;  // [-1, 1)
  }
};

// Topology-preserving state-variable filter: stable up to half the rate.
struct Svf {
  double a1 = 0, a2 = 0, a3 = 0, k = 0, ic1 = 0, ic2 = 0;
  Filter mode;
  Svf(Filter m, double cutoff, double rate, double resonance) : mode(m) {
    double g = std::tan(kPi * std::min(cutoff, rate * 0.49) / rate);
    k = 1.0 / std::max(resonance, 0.1);
    a1 = 1.0 / (1.0 + g * (g + k));
    a2 = g * a1;
    a3 = g * a2;
  }
  double run(double x) {
    if (mode == Filter::none) return x;
    double v3 = x - ic2;
    double v1 = a1 * ic1 + a2 * v3;
    double v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2 * v1 - ic1;
    ic2 = 2 * v2 - ic2;
    if (mode == Filter::lowpass) return v2;
    if (mode == Filter::bandpass) return v1;
    return x - k * v1 - v2;
  }
};

double note_hz(int note0) { return 440.0 * std::pow(2.0, (note0 - 57) / 12.0); }

// Relative note and finetune that make a sample of the given pitch offset
// (in semitones above C-4 at 8363 Hz) play true.
void set_tuning(double semitones, int extra_finetune, Sample& s) {
  int rel = static_cast<int>(std::lround(semitones));
  int fine = static_cast<int>(std::lround((semitones - rel) * 128.0)) + extra_finetune;
  s.relative_note = static_cast<int8_t>(std::clamp(rel, -96, 95));
  s.finetune = static_cast<int8_t>(std::clamp(fine, -128, 127));
}

// Semitones that a tone with `period` samples per cycle needs so that pattern
// note n sounds at note n.
double tone_offset(double period) { return 12.0 * std::log2(period * 440.0 / 8363.0) - 9.0; }

double partial(Wave w, int h, double width) {
  switch (w) {
    case Wave::saw: return 1.0 / h;
    case Wave::square: return (h % 2) ? 1.0 / h : 0.0;
    case Wave::pulse: return std::sin(kPi * h * width) / h;
    case Wave::triangle: return (h % 2) ? (((h / 2) % 2) ? -1.0 : 1.0) / (double(h) * h) : 0.0;
    case Wave::sine: return h == 1 ? 1.0 : 0.0;
    case Wave::organ: {
      constexpr double drawbars[9] = {0, 1.0, 0.6, 0.45, 0.3, 0, 0.2, 0, 0.15};
      return h < 9 ? drawbars[h] : 0.0;
    }
  }
  return 0;
}

double rolloff(double bright, int h) {
  if (bright <= 0) return 1.0;
  double r = h / bright;
  return 1.0 / std::sqrt(1.0 + r * r * r * r);
}

std::vector<double> make_tone(const SynthParams& p) {
  const int length = p.cycle * p.cycles;
  std::vector<double> x(length, 0.0);
  Noise phases(p.seed);
  for (int v = 0; v < p.voices; ++v) {
    int cycles = p.cycles + v * p.spread - ((p.voices - 1) * p.spread) / 2;
    for (int h = 1; h <= p.harmonics; ++h) {
      if (2.0 * h * cycles >= length) break;
      double a = partial(p.wave, h, p.width) * rolloff(p.bright, h);
      double phase = v == 0 ? (p.wave == Wave::pulse ? kPi / 2 : 0.0) : (phases.next() + 1.0) * kPi;
      if (a == 0) continue;
      double w = 2.0 * kPi * h * cycles / length;
      for (int n = 0; n < length; ++n) x[n] += a * std::sin(w * n + phase);
    }
  }
  return x;
}

std::vector<double> make_pluck(const SynthParams& p, double rate) {
  const int period = p.cycle;
  const int length = std::max(period * 4, static_cast<int>(p.length_ms * rate / 1000.0));
  std::vector<double> x(length, 0.0);
  Noise noise(p.seed);
  double smooth = p.bright > 0 ? std::clamp(p.bright / (period / 2.0), 0.05, 1.0) : 1.0;
  double y = 0;
  for (int n = 0; n <= period; ++n) {
    y += smooth * (noise.next() - y);
    x[n] = y;
  }
  double loss = std::exp(-(period + 0.5) / (p.decay_ms * rate / 1000.0));
  for (int n = period + 1; n < length; ++n) x[n] = loss * 0.5 * (x[n - period] + x[n - period - 1]);
  double dc = 0;  // the noise burst leaves an offset; a gentle high-pass removes it
  for (int n = 0; n < length; ++n) {
    dc += 0.002 * (x[n] - dc);
    x[n] -= dc;
  }
  return x;
}

std::vector<double> make_fm(const SynthParams& p, double rate, int& loop_start) {
  const int period = p.cycle;
  const double settle = p.decay_ms * rate / 1000.0;
  loop_start = static_cast<int>(std::ceil(settle / period)) * period;
  int length = std::max(loop_start + period * 4, static_cast<int>(p.length_ms * rate / 1000.0));
  length = loop_start + ((length - loop_start) / period) * period;
  std::vector<double> x(length);
  for (int n = 0; n < length; ++n) {
    double left = std::max(0.0, 1.0 - n / settle);
    double index = p.index_end + (p.index - p.index_end) * left * left;
    double t = 2.0 * kPi * (n % period) / period;
    x[n] = std::sin(t + index * std::sin(p.ratio * t));
  }
  return x;
}

std::vector<double> make_drum(const SynthParams& p) {
  const double rate = p.rate;
  const int length = std::max(16, static_cast<int>(p.length_ms * rate / 1000.0));
  std::vector<double> x(length);
  Noise noise(p.seed);
  Svf filter(p.filter, p.cutoff, rate, p.resonance);
  double phase = 0;
  constexpr double metal[6] = {2.0, 3.0, 4.16, 5.43, 6.79, 8.21};
  for (int n = 0; n < length; ++n) {
    double t = n / rate * 1000.0;  // ms
    double amp = p.decay_ms > 0 ? std::exp(-t / p.decay_ms) : 1.0;
    double v = 0;
    switch (p.kind) {
      case SynthKind::kick: {
        double f = p.tone + (p.pitch - p.tone) * std::exp(-t / p.sweep_ms);
        phase += 2.0 * kPi * f / rate;
        v = std::sin(phase) * amp + noise.next() * 0.25 * std::exp(-t / 1.5);
        break;
      }
      case SynthKind::snare: {
        double f = p.tone + (p.pitch - p.tone) * std::exp(-t / p.sweep_ms);
        phase += 2.0 * kPi * f / rate;
        double body = std::sin(phase) * std::exp(-t / (p.decay_ms * 0.5));
        v = (1.0 - p.noise) * body + p.noise * filter.run(noise.next()) * amp;
        break;
      }
      case SynthKind::hat: {
        double m = 0;
        for (double r : metal) m += std::sin(2.0 * kPi * p.pitch * r * n / rate) > 0 ? 1.0 : -1.0;
        v = filter.run(p.noise * noise.next() + (1.0 - p.noise) * m / 6.0) * amp;
        break;
      }
      default:
        v = filter.run(noise.next()) * amp;
        break;
    }
    x[n] = v;
  }
  return x;
}

}  // namespace

bool synthesise(const SynthParams& p, Sample& out, std::string& error) {
  if (p.cycle < 8 || p.cycle > 4096 || p.cycles < 1 || p.voices < 1 || p.voices > 8) {
    error = "cycle must be 8..4096, cycles at least 1, voices 1..8";
    return false;
  }
  std::vector<double> x;
  int loop_start = 0;
  bool tonal = p.kind == SynthKind::tone || p.kind == SynthKind::pluck || p.kind == SynthKind::fm;
  double period = p.kind == SynthKind::pluck ? p.cycle + 0.5 : p.cycle;
  double rate = tonal ? period * note_hz(p.center) : p.rate;
  LoopMode loop = p.loop;
  switch (p.kind) {
    case SynthKind::tone:
      x = make_tone(p);
      if (!p.loop_given) loop = LoopMode::forward;
      break;
    case SynthKind::pluck:
      if (p.loop != LoopMode::none) {
        error = "a pluck cannot loop (its period is not a whole number of samples)";
        return false;
      }
      x = make_pluck(p, rate);
      break;
    case SynthKind::fm:
      x = make_fm(p, rate, loop_start);
      if (!p.loop_given) loop = LoopMode::forward;
      break;
    default:
      x = make_drum(p);
      loop_start = static_cast<int>(p.loop_start_ms * p.rate / 1000.0);
      break;
  }
  if (loop != LoopMode::none && loop_start >= static_cast<int>(x.size()) - 2) {
    error = "the loop starts after the end of the sample";
    return false;
  }

  double peak = 0;
  for (double v : x) peak = std::max(peak, std::fabs(v));
  if (peak == 0) {
    error = "the instrument is silent";
    return false;
  }
  for (double& v : x) v /= peak;
  if (p.drive > 0) {
    double norm = std::tanh(p.drive);
    for (double& v : x) v = std::tanh(p.drive * v) / norm;
  }
  if (loop == LoopMode::none) {  // one-shots end at zero, without a click
    size_t tail = std::min(x.size(), static_cast<size_t>(rate * 0.003) + 1);
    for (size_t i = 0; i < tail; ++i) x[x.size() - 1 - i] *= static_cast<double>(i) / tail;
  }

  const double full = p.bits == 8 ? 127.0 : 32767.0;
  out.sixteen_bit = p.bits != 8;
  out.values.resize(x.size());
  for (size_t i = 0; i < x.size(); ++i)
    out.values[i] = static_cast<int16_t>(std::lround(std::clamp(x[i] * p.gain, -1.0, 1.0) * full));
  out.loop = loop;
  out.loop_start = loop == LoopMode::none ? 0 : static_cast<uint32_t>(loop_start);
  out.loop_length = loop == LoopMode::none ? 0 : static_cast<uint32_t>(x.size() - loop_start);
  if (tonal)
    set_tuning(tone_offset(period), p.finetune, out);
  else
    set_tuning(12.0 * std::log2(p.rate / 8363.0) + 48 - p.native, p.finetune, out);
  return true;
}

}  // namespace xmc
