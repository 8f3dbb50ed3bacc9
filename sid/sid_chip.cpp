// SidChip register writes and rendering, then the board's output coupling. The
// chip is all integer; signed right shifts are arithmetic. The filter's 32-bit
// intermediates wrap like the machine word they model instead of overflowing,
// so an unstable filter stays defined. The coupling alone works in doubles.
#include "sid/sid_chip.h"

#include <numbers>

#include "sid/sid_chip_tables.h"

namespace {

constexpr int32_t wrap32(int64_t v) { return static_cast<int32_t>(v); }

// Bits 22, 20, 16, 13, 11, 7, 4, 2 of the shift register, as bits 7..0.
constexpr uint8_t noise_byte(uint32_t s) {
  return static_cast<uint8_t>(((s >> 15) & 0x80) | ((s >> 14) & 0x40) | ((s >> 11) & 0x20) |
                              ((s >> 9) & 0x10) | ((s >> 8) & 0x08) | ((s >> 5) & 0x04) |
                              ((s >> 3) & 0x02) | ((s >> 2) & 0x01));
}

void derive_voice(const SidChip& chip, int v, Oscillator& o) {
  const SidVoiceRegisters& r = chip.registers.voice[v];
  o.increment = uint32_t(r.frequency) * chip.frequency_multiplier;
  o.pulse_level = uint32_t(r.pulse_width & 0xFFF) << 16;
  o.waveform = r.control;
  o.filtered = (chip.registers.routing_resonance >> v) & 1;
  o.attack = chip.attack_rate[r.attack_decay >> 4];
  o.decay = chip.release_rate[r.attack_decay & 15];
  o.sustain = r.sustain_release & 0xF0;
  o.release = chip.release_rate[r.sustain_release & 15];
}

void derive_filter(SidChip& chip) {
  const SidRegisters& r = chip.registers;
  FilterState& f = chip.filter;
  int32_t c = (16 * r.cutoff_high + (r.cutoff_low & 7)) * int32_t(chip.filter_multiplier);
  f.coefficient = c > 65536 ? 65536 : c;
  f.low_on = (r.mode_volume >> 4) & 1;
  f.band_on = (r.mode_volume >> 5) & 1;
  f.high_on = (r.mode_volume >> 6) & 1;
  f.voice3_on = (r.mode_volume & 0x80) ? 0 : 1;
  f.volume = r.mode_volume & 15;
  f.resonance = (sid_resonance_base - sid_resonance_step * (r.routing_resonance >> 4)) >> 8;
}

// One sample of one voice; ref is the voice it syncs to and is ring-modulated by.
inline int32_t voice_sample(Oscillator& o, const Oscillator& ref) {
  o.counter = (o.counter + o.increment) & 0x0FFFFFFF;
  const uint8_t w = o.waveform;
  if (w & 0x08) {
    o.counter = 0;
    o.noise_step = 0;
    o.noise_shift = 0xFFFFFF;
  }
  if ((w & 0x02) && ref.counter < ref.increment)
    o.counter = static_cast<uint32_t>(uint64_t(ref.counter) * o.increment / ref.increment);

  uint32_t step = o.counter >> 23;
  if (step != o.noise_step) {
    o.noise_step = step;
    uint32_t s = o.noise_shift;
    s = (s << 1) | (((s >> 22) ^ (s >> 17)) & 1);
    o.noise_shift = s;
    o.noise_output = noise_byte(s);
  }

  uint32_t out = 0xFF;
  if (w & 0xF0) {
    if (w & 0x10) {
      uint32_t tri = (o.counter >> 19) & 0xFF;
      if (o.counter & 0x8000000) tri = ~tri & 0xFF;
      if ((w & 0x04) && ref.counter < 0x8000000) tri = ~tri & 0xFF;
      out = tri;
    }
    if (w & 0x20) out &= (o.counter >> 20) & 0xFF;
    if (w & 0x40) out &= o.counter <= o.pulse_level ? 0xFF : 0x00;
    if (w & 0x80) out &= o.noise_output;
  }

  switch (o.envelope_phase) {
    case envelope_attack:
      o.envelope += int32_t(o.attack);
      if (o.envelope >= envelope_peak) {
        o.envelope = envelope_peak;
        o.envelope_phase = envelope_decay;
      }
      break;
    case envelope_decay: {
      const int32_t level = int32_t(o.sustain << 16);
      o.envelope -= int32_t(o.decay);
      if (o.envelope <= level) {
        o.envelope = level;
        o.envelope_phase = envelope_sustain;
      }
      break;
    }
    case envelope_sustain:
      if (o.envelope != int32_t(o.sustain << 16)) o.envelope_phase = envelope_decay;
      break;
    default:
      o.envelope -= int32_t(o.release);
      if (o.envelope < envelope_release_floor) o.envelope = envelope_release_floor;
      break;
  }
  return (int32_t(out) - 128) * o.envelope >> 22;
}

// Everything that depends only on registers, once per render call.
void derive_all(SidChip& chip) {
  for (int v = 0; v < 3; ++v) derive_voice(chip, v, chip.voice[v]);
  derive_filter(chip);
}

// The chip's mix, handed sample by sample to take(i, mixed). One loop serves the
// chip's own output and the board's, so that the coupling's serial chain of
// doubles runs alongside the voices' integer work instead of after it.
template <typename Take>
void mix_samples(SidChip& chip, const uint8_t* memory, uint32_t count, Take take) {
  FilterState& f = chip.filter;
  Oscillator& v0 = chip.voice[0];
  Oscillator& v1 = chip.voice[1];
  Oscillator& v2 = chip.voice[2];
  const int32_t coefficient = f.coefficient >> 8;
  // A muted voice keeps running: the others may sync to it or ring with it.
  const bool heard0 = !(chip.muted_voices & 1);
  const bool heard1 = !(chip.muted_voices & 2);
  const bool heard2 = f.voice3_on && !(chip.muted_voices & 4);
  for (uint32_t i = 0; i < count; ++i) {
    int32_t direct = 0, filter_in = 0;
    // Voice 0 syncs to voice 2 as it stood after the previous sample.
    const int32_t s0 = voice_sample(v0, v2);
    if (heard0) (v0.filtered ? filter_in : direct) += s0;
    const int32_t s1 = voice_sample(v1, v0);
    if (heard1) (v1.filtered ? filter_in : direct) += s1;
    const int32_t s2 = voice_sample(v2, v1);
    if (heard2) (v2.filtered ? filter_in : direct) += s2;

    f.high = wrap32(int64_t(filter_in) * 65536 - int64_t(f.band >> 8) * f.resonance - f.low);
    f.band = wrap32(int64_t(f.band) + int64_t(coefficient) * (f.high >> 8));
    f.low = wrap32(int64_t(f.low) + int64_t(coefficient) * (f.band >> 8));
    int32_t filter_out = 0;
    if (f.low_on) filter_out += f.low >> 16;
    if (f.band_on) filter_out += f.band >> 16;
    if (f.high_on) filter_out += f.high >> 16;

    // At most 15 x (3 x 512 + 3 x 32,768) plus a digi level: well inside 32 bits.
    int32_t mixed = (direct + filter_out) * f.volume;
    if (chip.digi.active) mixed = digi_mix(chip, memory, mixed);
    take(i, mixed);
  }
}

inline int16_t couple(OutputCoupling& c, int32_t mix) {
  const double x = double(mix);
  const double y = x - c.last_input + c.pole * c.last_output;
  c.last_input = x;
  c.last_output = y;
  // Saturate, then round to nearest with ties to even, as rint does but without
  // a library call: what truncation leaves is exact in any float precision.
  // Sums of comparisons, not branches: the fraction is noise to a predictor.
  const double clamped = y < -32768.0 ? -32768.0 : y > 32767.0 ? 32767.0 : y;
  int32_t n = static_cast<int32_t>(clamped);
  const double fraction = clamped - n;
  const int32_t odd = n & 1;
  n += int32_t(fraction > 0.5) - int32_t(fraction < -0.5) + (int32_t(fraction == 0.5) & odd) -
       (int32_t(fraction == -0.5) & odd);
  return static_cast<int16_t>(n);
}

}  // namespace

void synth_init(SidChip& chip, uint32_t rate) {
  const int32_t kept_level = chip.digi.level;
  chip = SidChip{};
  chip.digi.level = kept_level;
  if (rate == 0) rate = 44100;
  chip.rate = rate;
  chip.coupling.pole = 1.0 - 2.0 * std::numbers::pi * sid_coupling_hz / double(rate);
  chip.frequency_multiplier = sid_frequency_clock / rate;
  chip.filter_multiplier = sid_filter_clock / rate;
  for (int i = 0; i < 16; ++i) {
    chip.attack_rate[i] = static_cast<uint32_t>(16777216.0f / (sid_attack_seconds[i] * float(rate)));
    chip.release_rate[i] = static_cast<uint32_t>(16777216.0f / (sid_decay_release_seconds[i] * float(rate)));
  }
}

void sid_write_register(SidChip& chip, uint8_t reg, uint8_t value) {
  reg &= 0x1F;
  if (reg < 21) {
    const int v = reg / 7;
    SidVoiceRegisters& r = chip.registers.voice[v];
    switch (reg % 7) {
      case 0: r.frequency = uint16_t((r.frequency & 0xFF00) | value); break;
      case 1: r.frequency = uint16_t((r.frequency & 0x00FF) | (value << 8)); break;
      case 2: r.pulse_width = uint16_t((r.pulse_width & 0xFF00) | value); break;
      case 3: r.pulse_width = uint16_t((r.pulse_width & 0x00FF) | (value << 8)); break;
      case 4: {
        r.control = value;
        Oscillator& o = chip.voice[v];
        // A held gate does not retrigger; a retrigger continues from the current level.
        if (!(value & 1))
          o.envelope_phase = envelope_release;
        else if (o.envelope_phase == envelope_release)
          o.envelope_phase = envelope_attack;
        break;
      }
      case 5: r.attack_decay = value; break;
      default: r.sustain_release = value; break;
    }
    return;
  }
  switch (reg) {
    case 21: chip.registers.cutoff_low = value; break;
    case 22: chip.registers.cutoff_high = value; break;
    case 23: chip.registers.routing_resonance = value; break;
    case 24: chip.registers.mode_volume = value; break;
    default: break;
  }
}

void digi_write(SidChip& chip, uint16_t address, uint8_t value) {
  DigiChannel& d = chip.digi;
  auto low = [value](uint16_t& r) { r = uint16_t((r & 0xFF00) | value); };
  auto high = [value](uint16_t& r) { r = uint16_t((r & 0x00FF) | (value << 8)); };
  switch (address) {
    case 0xD41E: low(d.start); break;
    case 0xD41F: high(d.start); break;
    case 0xD43D: low(d.end); break;
    case 0xD43E: high(d.end); break;
    case 0xD43F: d.repeat_count = value; break;
    case 0xD45D: low(d.period); break;
    case 0xD45E: high(d.period); break;
    case 0xD47D: d.order = value; break;
    case 0xD47E: low(d.repeat_start); break;
    case 0xD47F: high(d.repeat_start); break;
    case 0xD41D:
      d.repeats = d.repeat_count;
      d.position = d.play_start = d.start;
      d.play_end = d.end;
      d.play_repeat_start = d.repeat_start;
      d.play_period = d.period;
      d.play_order = d.order;
      d.nibble = -1;  // the first step goes to the start byte's first nibble
      d.clock = 0;
      if (value == 0xFD) d.active = 0;
      else if (value >= 0xFE) d.active = 1;
      break;
    default: break;
  }
}

int32_t digi_mix(SidChip& chip, const uint8_t* memory, int32_t sample) {
  DigiChannel& d = chip.digi;
  // Period 0 is no valid rate: the channel stays silent rather than divide by it.
  if (!d.active || d.play_period <= 0) return sample;
  if (d.position >= d.play_end || d.position < d.play_start) return sample;
  // The nibble being heard; before a trigger's first step, the level held from before.
  const int32_t result = sample + d.level;
  d.clock += int32_t(c64_clock_hz) / d.play_period;
  if (d.clock > int32_t(chip.rate)) {
    d.clock %= int32_t(chip.rate);
    if (++d.nibble == 2) {
      d.nibble = 0;
      d.position += 1;
      // A sample with repeats left goes on at its repeat address without a gap.
      if (d.position >= d.play_end && d.repeats > 0) {
        d.repeats -= 1;
        d.position = d.play_repeat_start;
      }
    }
    // Past the end the last nibble has had its full time: the next sample ends it.
    if (d.position < d.play_end) {
      // Order 0 plays each byte low nibble first, any other order high first.
      const uint8_t byte = memory[uint32_t(d.position) & 0xFFFF];
      const bool high = (d.nibble == 0) == (d.play_order != 0);
      d.level = ((high ? byte >> 4 : byte & 15) - 7) * 1024;
    }
  }
  return result;
}

void synth_render_mix(SidChip& chip, const uint8_t* memory, int32_t* mix, uint32_t count) {
  derive_all(chip);
  mix_samples(chip, memory, count, [mix](uint32_t i, int32_t mixed) { mix[i] = mixed; });
}

int16_t sid_output_sample(OutputCoupling& coupling, int32_t mix) { return couple(coupling, mix); }

void synth_render(SidChip& chip, const uint8_t* memory, int16_t* out, uint32_t count) {
  derive_all(chip);
  OutputCoupling coupling = chip.coupling;   // in registers for the loop
  mix_samples(chip, memory, count, [out, &coupling](uint32_t i, int32_t mixed) { out[i] = couple(coupling, mixed); });
  chip.coupling = coupling;
}
