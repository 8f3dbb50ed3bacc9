// Channel operations: sample reset, envelopes, vibrato, tremolo, tremor, tone
// portamento, instrument auto-vibrato, the period tables and xm_update_voice, which
// turns a channel into its mixer voice's volume, pan, step and position.
#include "xm/xm_channel.h"

#include <cmath>
#include <cstdlib>

#include "xm/xm_mixer.h"
#include "xm/xm_module.h"

namespace {

struct WaveTables {
  uint16_t vibrato_sine[64];  // |sin| x 256 for positions -32..31 (256 at the peak)
  int8_t auto_vibrato_sine[256];
  WaveTables() {
    for (int p = -32; p < 32; ++p)
      vibrato_sine[p + 32] = uint16_t(int32_t(std::fabs(std::sin(float(2 * p) * 0.049087375f)) * 256.0f));
    for (int p = 0; p < 256; ++p)
      auto_vibrato_sine[p] = int8_t(int32_t(std::sin(float(p) * 0.024543688f) * 64.0f));
  }
};

const WaveTables& wave_tables() {
  static const WaveTables tables;
  return tables;
}

constexpr int wave_sine = 0;
constexpr int wave_ramp = 1;
constexpr int wave_square = 2;

// Vibrato waveforms 0..3 and tremolo waveforms 0..3 mapped to the shape they use.
constexpr int vibrato_shapes[4] = {wave_sine, wave_ramp, wave_square, wave_square};
constexpr int tremolo_shapes[4] = {wave_sine, wave_ramp, wave_square, wave_sine};

// Pan 0 is fully left (the first sample of each frame), 255 fully right, as
// every XM file expects; the law is linear, so the centre gives each side half.
void set_gains(MixVoice& voice) {
  voice.gain_a = (255 - voice.pan) * voice.volume / 255;
  voice.gain_b = voice.pan * voice.volume / 255;
}

// Vibrato and tremolo positions run through -32..31, wrapping past 31.
int8_t next_wave_position(int8_t position, uint8_t speed) {
  int next = position + speed;
  if (next > 31) next -= 64;
  return int8_t(next);
}

void reset_envelope(EnvelopeState& state, int32_t value) {
  state.tick = 0;
  state.point = 0;
  state.delta = 0;
  state.value = value;
  state.stopped = 0;
}

}  // namespace

int32_t xm_wave_value(int shape, int8_t position) {
  switch (shape) {
    case wave_sine: return wave_tables().vibrato_sine[position + 32];
    case wave_ramp: return position >= 0 ? (position * 8) % 256 : (-8 * position - 1) % 256;
    default: return 255;
  }
}

void xm_reset_channel_from_sample(XmChannel& channel, const XmSample& sample) {
  channel.volume = sample.volume;
  channel.pan = int32_t(sample.panning);
  reset_envelope(channel.volume_envelope, 64);
  reset_envelope(channel.panning_envelope, 32);
  channel.key_off = 0;
  channel.fade_volume = 65536;
  channel.auto_vibrato_position = 0;
  channel.auto_vibrato_sweep = 0;
  if ((channel.wave_control & 0x0F) < 4) channel.vibrato_position = 0;
  if ((channel.wave_control >> 4) < 4) channel.tremolo_position = 0;
  channel.tremor_position = 0;
  channel.update_flags |= xm_update_volume | xm_update_panning;
}

void xm_envelope_step(XmChannel& channel, const EnvelopePoint* points, int point_count, uint8_t type,
                   int sustain_point, int loop_start_point, int loop_end_point, EnvelopeState& state,
                   uint8_t flag) {
  if (state.point < point_count) {
    if (state.tick == points[state.point].tick) {
      if ((type & xm_envelope_loop) && state.point == loop_end_point) {
        state.point = loop_start_point;
        state.tick = points[loop_start_point].tick;
      }
      const EnvelopePoint& here = points[state.point];
      if (state.point == point_count - 1) {
        state.value = here.value;
        state.stopped = 1;
        channel.update_flags |= flag;
        return;
      }
      if ((type & xm_envelope_sustain) && state.point == sustain_point && channel.key_off == 0) {
        state.value = here.value;
        channel.update_flags |= flag;
        return;
      }
      const EnvelopePoint& next = points[state.point + 1];
      int32_t ticks = int32_t(next.tick) - int32_t(here.tick);
      state.delta = ticks ? ((int32_t(next.value) - int32_t(here.value)) * 65536) / ticks : 0;
      state.value_fixed = int32_t(here.value) * 65536;
      state.point += 1;
    } else {
      state.value_fixed += state.delta;
    }
  }
  state.value = state.value_fixed >> 16;
  state.tick += 1;
  channel.update_flags |= flag;
}

void xm_step_envelopes(XmChannel& channel, const XmInstrument& ins) {
  if ((ins.volume_type & xm_envelope_on) && !channel.volume_envelope.stopped)
    xm_envelope_step(channel, ins.volume_envelope, ins.volume_point_count, ins.volume_type, ins.volume_sustain_point,
                  ins.volume_loop_start_point, ins.volume_loop_end_point, channel.volume_envelope, xm_update_volume);
  if ((ins.panning_type & xm_envelope_on) && !channel.panning_envelope.stopped)
    xm_envelope_step(channel, ins.panning_envelope, ins.panning_point_count, ins.panning_type,
                  ins.panning_sustain_point, ins.panning_loop_start_point, ins.panning_loop_end_point,
                  channel.panning_envelope, xm_update_panning);
}

void xm_key_off(XmChannel& channel, const XmInstrument& ins) {
  channel.key_off = 1;
  if (!(ins.volume_type & xm_envelope_on)) channel.volume_envelope.value = 0;
}

void xm_advance_vibrato(XmChannel& channel) {
  channel.vibrato_position = next_wave_position(channel.vibrato_position, channel.vibrato_speed);
}

void xm_vibrato(XmChannel& channel) {
  int32_t v = xm_wave_value(vibrato_shapes[channel.wave_control & 3], channel.vibrato_position);
  int32_t offset = ((int32_t(channel.vibrato_depth) * v) / 32) & ~3;
  channel.period_delta = channel.vibrato_position >= 0 ? -offset : offset;
  channel.update_flags |= xm_update_frequency;
}

void xm_tremolo(XmChannel& channel) {
  int32_t v = xm_wave_value(tremolo_shapes[(channel.wave_control >> 4) & 3], channel.tremolo_position);
  int32_t delta = (int32_t(channel.tremolo_depth) * v) / 64;
  if (channel.tremolo_position < 0) {
    if (channel.volume - delta < 0) delta = channel.volume;
    delta = -delta;
  } else if (channel.volume + delta > 64) {
    delta = 64 - channel.volume;
  }
  channel.volume_delta = delta;
  channel.tremolo_position = next_wave_position(channel.tremolo_position, channel.tremolo_speed);
  channel.update_flags |= xm_update_volume;
}

void xm_tone_portamento(XmChannel& channel) {
  int32_t speed = int32_t(channel.porta_speed) * 4;
  if (channel.period < channel.porta_target) {
    channel.period += speed;
    if (channel.period > channel.porta_target) channel.period = channel.porta_target;
  } else if (channel.period > channel.porta_target) {
    channel.period -= speed;
    if (channel.period < channel.porta_target) channel.period = channel.porta_target;
  }
  channel.update_flags |= xm_update_frequency;
}

void xm_tremor(XmChannel& channel) {
  if (channel.tremor_position >= channel.tremor_on) channel.volume_delta = -channel.volume;
  channel.tremor_position += 1;
  if (channel.tremor_position >= channel.tremor_on + channel.tremor_off) channel.tremor_position = 0;
  channel.update_flags |= xm_update_volume;
}

void xm_auto_vibrato(XmChannel& channel, const XmInstrument& instrument) {
  int32_t p = channel.auto_vibrato_position;
  int32_t v;
  // FT2 has four shapes; any other type plays the sine.
  switch (instrument.vibrato_type) {
    case 1: v = p <= 127 ? 64 : -64; break;
    case 2: v = (128 - ((p + 128) % 256)) >> 1; break;
    case 3: v = (128 - ((384 - p) % 256)) >> 1; break;
    default: v = wave_tables().auto_vibrato_sine[p & 0xFF]; break;
  }
  v *= instrument.vibrato_depth;
  if (instrument.vibrato_sweep) v = channel.auto_vibrato_sweep * v / instrument.vibrato_sweep;
  channel.period_delta += v >> 6;
  if (channel.auto_vibrato_sweep < instrument.vibrato_sweep) channel.auto_vibrato_sweep += 1;
  p += instrument.vibrato_rate;
  if (p > 255) p -= 256;
  channel.auto_vibrato_position = p;
  channel.update_flags |= xm_update_frequency;
}

int32_t xm_amiga_period(int32_t note, int32_t finetune) {
  auto at = [note](int32_t k) {
    return int32_t(std::pow(2.0f, float(k - note) * 0.083333336f) * 13.375f);
  };
  int32_t p = at(132);
  if (finetune < 0 && note != 0) {
    int32_t q = at(133);
    return p + (std::abs(finetune) * (p - q)) / -128;
  }
  int32_t q = at(131);
  return p + ((p - q) * finetune) / -128;
}

int32_t xm_linear_frequency(int32_t period, int32_t period_delta) {
  float exponent = float(int64_t(4608) - period + period_delta) * 0.0013020834f;
  float frequency = 8363.0f * std::exp2(exponent);
  // Periods far below the table would not fit an integer frequency.
  if (!(frequency < 2147483520.0f)) return 2147483520;
  return int32_t(frequency);
}

int32_t xm_amiga_frequency(int32_t period, int32_t period_delta) {
  int64_t divisor = int64_t(period) + period_delta;
  if (divisor == 0) return 0;
  return int32_t(14317056 / divisor);
}

void xm_frequency_to_step(int32_t frequency, uint32_t& step_integer, uint32_t& step_fraction) {
  if (frequency < 100) frequency = 100;
  step_integer = uint32_t(frequency / xm_output_rate);
  step_fraction = uint32_t((uint64_t(frequency % xm_output_rate) << 32) / xm_output_rate);
}

void xm_update_voice(XmChannel& channel, XmSample* sample, const XmModule& module) {
  MixVoice* voice = channel.voice;
  if (int64_t(channel.period) + channel.period_delta == 0) channel.update_flags &= uint8_t(~xm_update_frequency);
  uint8_t flags = channel.update_flags;

  if (flags & xm_update_trigger) {
    // The old note fades out on the partner voice's ramp while the new one starts.
    if (voice->sample) {
      MixVoice* partner = voice->index < 32 ? voice + 32 : voice - 32;
      uint32_t index = partner->index;
      *partner = *voice;
      partner->index = index;
      voice->volume = 0;
      voice->gain_a = 0;
      voice->gain_b = 0;
      channel.voice = partner;
      voice = partner;
    }
    voice->sample = sample;
    if (uint64_t(voice->start_offset) >= uint64_t(sample->loop_start) + sample->loop_length) voice->start_offset = 0;
    voice->position = voice->start_offset;
    voice->position_fraction = 0;
    voice->direction = xm_forward;
    voice->start_offset = 0;
    voice->ramp_level_a = 0;
    voice->ramp_level_b = 0;
    voice->ramp_left = 0;
  }

  if (flags & xm_update_volume) {
    int64_t product = int64_t(channel.volume + channel.volume_delta) * channel.volume_envelope.value *
                      channel.fade_volume * module.global_volume;
    voice->volume = int32_t(float(product) * 7.4214768e-9f);
    set_gains(*voice);
  }

  if (flags & xm_update_panning) {
    int32_t pan = channel.pan;
    int32_t room = (128 - std::abs(pan - 128)) / 32;
    int32_t final_pan = pan + room * (channel.panning_envelope.value - 32);
    if (final_pan < 0) final_pan = 0;
    if (final_pan > 255) final_pan = 255;
    voice->pan = final_pan;
    set_gains(*voice);
  }

  if (flags & xm_update_frequency) {
    int32_t frequency = (module.flags & xm_flag_linear) ? xm_linear_frequency(channel.period, channel.period_delta)
                                                        : xm_amiga_frequency(channel.period, channel.period_delta);
    xm_frequency_to_step(frequency, voice->step_integer, voice->step_fraction);
  }

  if (flags & xm_update_rewind) {
    voice->position = 0;
    voice->position_fraction = 0;
    voice->start_offset = 0;
  }
}
