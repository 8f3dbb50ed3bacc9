// Effects of the XM effect column, as a table indexed by effect number (and a
// second one for the E sub-effects), each entry a first-tick and a later-tick
// action. Parameters: p, x = high nibble, y = low nibble.
#include "xm/xm_effects.h"

#include <cstdint>

#include "xm/xm_channel.h"
#include "xm/xm_mixer.h"
#include "xm/xm_module.h"
#include "xm/xm_replay.h"
#include "xm/xm_volume_column.h"

namespace {

using Action = void (*)(EffectContext&);
struct Effect {
  Action first_tick;
  Action later_ticks;
};

uint8_t param(const EffectContext& c) { return c.cell.parameter; }
uint8_t x_of(const EffectContext& c) { return param(c) >> 4; }
uint8_t y_of(const EffectContext& c) { return param(c) & 0x0F; }
bool linear(const EffectContext& c) { return c.module.flags & xm_flag_linear; }

int32_t clamp(int32_t v, int32_t low, int32_t high) { return v < low ? low : (v > high ? high : v); }
void flag(EffectContext& c, uint8_t bits) { c.channel.update_flags |= bits; }
void unflag(EffectContext& c, uint8_t bits) { c.channel.update_flags &= uint8_t(~bits); }

void nothing(EffectContext&) {}

// A volume slide with a memory byte: high nibble up, else low nibble down.
void volume_slide(XmChannel& channel, uint8_t memory) {
  uint8_t up = memory >> 4, down = memory & 0x0F;
  if (up)
    channel.volume = channel.volume + up > 64 ? 64 : channel.volume + up;
  else if (down)
    channel.volume = channel.volume - down < 0 ? 0 : channel.volume - down;
  channel.update_flags |= xm_update_volume;
}


// 0: arpeggio
void arpeggio_later(EffectContext& c) {
  if (!param(c)) return;
  static constexpr int nibble_for_tick[3] = {-1, 1, 0};  // none, x, y
  int which = nibble_for_tick[c.module.tick % 3];
  int n = which < 0 ? 0 : (which ? x_of(c) : y_of(c));
  XmChannel& ch = c.channel;
  if (linear(c))
    ch.period_delta = n * 64;
  else
    ch.period_delta = xm_amiga_period(ch.real_note + n, ch.finetune) - xm_amiga_period(ch.real_note, ch.finetune);
  flag(c, xm_update_frequency);
}

// 1: portamento up
void porta_up_first(EffectContext& c) {
  if (param(c)) c.channel.porta_up_memory = param(c);
}
void porta_up_later(EffectContext& c) {
  XmChannel& ch = c.channel;
  ch.period -= ch.porta_up_memory * 4;
  ch.period_delta = 0;
  if (ch.period < 56) ch.period = 56;
  flag(c, xm_update_frequency);
}

// 2: portamento down (FT2 stops at its highest period)
void porta_down_first(EffectContext& c) {
  if (param(c)) c.channel.porta_down_memory = param(c);
}
void porta_down_later(EffectContext& c) {
  XmChannel& ch = c.channel;
  ch.period = clamp(ch.period + ch.porta_down_memory * 4, INT32_MIN, xm_period_max);
  ch.period_delta = 0;
  flag(c, xm_update_frequency);
}

// 3: tone portamento
void tone_porta_first(EffectContext& c) {
  if (param(c)) c.channel.porta_speed = param(c);
  c.channel.porta_target = c.channel.note_period;
  unflag(c, xm_update_frequency | xm_update_trigger);
}
void tone_porta_later(EffectContext& c) {
  c.channel.period_delta = 0;
  xm_tone_portamento(c.channel);
}

// 4: vibrato
void vibrato_first(EffectContext& c) {
  if (x_of(c)) c.channel.vibrato_speed = x_of(c);
  if (y_of(c)) c.channel.vibrato_depth = y_of(c);
  xm_vibrato(c.channel);
}
void vibrato_later(EffectContext& c) {
  xm_vibrato(c.channel);
  xm_advance_vibrato(c.channel);
}

// 5: tone portamento + volume slide
void porta_slide_first(EffectContext& c) {
  c.channel.porta_target = c.channel.note_period;
  if (param(c)) c.channel.volume_slide_memory = param(c);
  unflag(c, xm_update_frequency | xm_update_trigger);
}
void porta_slide_later(EffectContext& c) {
  c.channel.period_delta = 0;
  xm_tone_portamento(c.channel);
  volume_slide(c.channel, c.channel.volume_slide_memory);
}

// 6: vibrato + volume slide
void vibrato_slide_first(EffectContext& c) {
  if (param(c)) c.channel.volume_slide_memory = param(c);
  xm_vibrato(c.channel);
}
void vibrato_slide_later(EffectContext& c) {
  xm_vibrato(c.channel);
  xm_advance_vibrato(c.channel);
  volume_slide(c.channel, c.channel.volume_slide_memory);
}

// 7: tremolo
void tremolo_first(EffectContext& c) {
  if (x_of(c)) c.channel.tremolo_speed = x_of(c);
  if (y_of(c)) c.channel.tremolo_depth = y_of(c);
}
void tremolo_later(EffectContext& c) { xm_tremolo(c.channel); }

// 8: set panning
void set_panning_first(EffectContext& c) {
  c.channel.pan = param(c);
  flag(c, xm_update_panning);
}

// 9: sample offset; one beyond the loop end rewinds the playing voice instead
void sample_offset_first(EffectContext& c) {
  XmChannel& ch = c.channel;
  if (param(c)) ch.sample_offset_memory = param(c);
  uint64_t offset = uint64_t(ch.sample_offset_memory) * 256;
  if (offset < uint64_t(c.sample->loop_start) + c.sample->loop_length) {
    ch.voice->start_offset = uint32_t(offset);
  } else {
    unflag(c, xm_update_trigger);
    flag(c, xm_update_rewind);
  }
}

// A: volume slide
void volume_slide_first(EffectContext& c) {
  if (param(c)) c.channel.volume_slide_memory = param(c);
}
void volume_slide_later(EffectContext& c) { volume_slide(c.channel, c.channel.volume_slide_memory); }

// B: position jump
void position_jump_first(EffectContext& c) {
  XmModule& m = c.module;
  m.next_row = 0;
  m.next_order = param(c) >= m.song_length ? 0 : param(c);
  *c.jump_seen = true;
}

// C: set volume (not limited: C80 plays twice as loud)
void set_volume_first(EffectContext& c) {
  c.channel.volume = param(c);
  flag(c, xm_update_volume);
}

// D: pattern break
void pattern_break_first(EffectContext& c) {
  XmModule& m = c.module;
  int32_t row = x_of(c) * 10 + y_of(c);
  m.next_row = row > 63 ? 0 : row;
  if (!*c.jump_seen) m.next_order = m.order + 1;
  if (m.next_order >= m.song_length) m.next_order = 0;
}

// E: extended effects, by sub-effect
void fine_porta_up_first(EffectContext& c) {
  XmChannel& ch = c.channel;
  if (y_of(c)) ch.fine_porta_up_memory = y_of(c);
  ch.period = clamp(ch.period - ch.fine_porta_up_memory * 4, xm_period_min, INT32_MAX);
}
void fine_porta_down_first(EffectContext& c) {
  XmChannel& ch = c.channel;
  if (y_of(c)) ch.fine_porta_down_memory = y_of(c);
  ch.period = clamp(ch.period + ch.fine_porta_down_memory * 4, INT32_MIN, xm_period_max);
}
void vibrato_waveform_first(EffectContext& c) {
  c.channel.wave_control = uint8_t((c.channel.wave_control & 0xF0) | y_of(c));
}
void pattern_loop_first(EffectContext& c) {
  XmChannel& ch = c.channel;
  uint8_t y = y_of(c);
  if (y == 0) {
    ch.loop_row = uint32_t(c.module.row);
    return;
  }
  if (ch.loop_count == 0)
    ch.loop_count = y;
  else
    ch.loop_count -= 1;
  if (ch.loop_count != 0) c.module.next_row = int32_t(ch.loop_row);
}
void tremolo_waveform_first(EffectContext& c) {
  c.channel.wave_control = uint8_t((c.channel.wave_control & 0x0F) | (y_of(c) << 4));
}
void fine_panning_first(EffectContext& c) {
  c.channel.pan = y_of(c) * 16;
  flag(c, xm_update_panning);
}
void retrigger_later(EffectContext& c) {
  uint8_t y = y_of(c);
  if (y && c.module.tick % y == 0) flag(c, xm_update_trigger | xm_update_frequency | xm_update_volume);
}
void fine_volume_up_first(EffectContext& c) {
  XmChannel& ch = c.channel;
  if (y_of(c)) ch.fine_volume_slide_memory = y_of(c);
  ch.volume += ch.fine_volume_slide_memory;
  if (ch.volume > 64) ch.volume = 64;
  flag(c, xm_update_volume);
}
void fine_volume_down_first(EffectContext& c) {
  XmChannel& ch = c.channel;
  if (y_of(c)) ch.fine_volume_slide_memory = y_of(c);
  ch.volume -= ch.fine_volume_slide_memory;
  if (ch.volume < 0) ch.volume = 0;
  flag(c, xm_update_volume);
}
void note_cut_later(EffectContext& c) {
  if (c.module.tick == y_of(c)) {
    c.channel.volume = 0;
    flag(c, xm_update_volume);
  }
}
constexpr uint8_t low_flags = xm_update_frequency | xm_update_volume | xm_update_panning | xm_update_trigger;
void note_delay_first(EffectContext& c) {
  unflag(c, low_flags);
  c.channel.period = c.saved_period;
  c.channel.volume = c.saved_volume;
  c.channel.pan = c.saved_pan;
}
// Before its tick the delayed note leaves the voice alone; on its tick it starts
// with a fresh envelope that takes its first step at once, and from then on it
// moves like any other note.
void note_delay_later(EffectContext& c) {
  XmChannel& ch = c.channel;
  int32_t delay = y_of(c);
  if (c.module.tick < delay) {
    unflag(c, low_flags);
    return;
  }
  if (c.module.tick > delay) return;
  xm_reset_channel_from_sample(ch, *c.sample);
  xm_step_envelopes(ch, c.instrument);
  flag(c, xm_update_frequency);
  ch.period = ch.note_period;
  if (c.cell.volume) xm_volume_column_row(ch, c.cell.volume);
  flag(c, xm_update_trigger);
}
void pattern_delay_first(EffectContext& c) { c.module.pattern_delay = c.module.speed * y_of(c); }

constexpr Effect extended_effects[16] = {
    {nothing, nothing},                         // E0
    {fine_porta_up_first, nothing},             // E1 fine portamento up
    {fine_porta_down_first, nothing},           // E2 fine portamento down
    {nothing, nothing},                         // E3
    {vibrato_waveform_first, nothing},          // E4 vibrato waveform
    {nothing, nothing},                         // E5 set finetune (with the row's note)
    {pattern_loop_first, nothing},              // E6 pattern loop
    {tremolo_waveform_first, nothing},          // E7 tremolo waveform
    {fine_panning_first, nothing},              // E8 set panning
    {nothing, retrigger_later},                 // E9 retrigger
    {fine_volume_up_first, nothing},            // EA fine volume up
    {fine_volume_down_first, nothing},          // EB fine volume down
    {nothing, note_cut_later},                  // EC note cut
    {note_delay_first, note_delay_later},       // ED note delay
    {pattern_delay_first, nothing},             // EE pattern delay
    {nothing, nothing},                         // EF
};
void extended_first(EffectContext& c) { extended_effects[x_of(c)].first_tick(c); }
void extended_later(EffectContext& c) { extended_effects[x_of(c)].later_ticks(c); }

// F: speed below 32, tempo from 32
void speed_first(EffectContext& c) {
  if (param(c) < 32)
    c.module.speed = param(c);
  else
    xm_set_bpm(c.module, param(c));
}

// G: global volume
void global_volume_first(EffectContext& c) {
  c.module.global_volume = param(c) > 64 ? 64 : param(c);
  flag(c, xm_update_volume);
}

// H: global volume slide
void global_slide_first(EffectContext& c) {
  if (param(c)) c.module.global_volume_slide_memory = param(c);
}
void global_slide_later(EffectContext& c) {
  XmModule& m = c.module;
  uint8_t up = m.global_volume_slide_memory >> 4, down = m.global_volume_slide_memory & 0x0F;
  if (up)
    m.global_volume = m.global_volume + up > 64 ? 64 : m.global_volume + up;
  else if (down)
    m.global_volume = m.global_volume - down < 0 ? 0 : m.global_volume - down;
}

// L: envelope position
void envelope_position_first(EffectContext& c) {
  const XmInstrument& ins = c.instrument;
  if (!(ins.volume_type & xm_envelope_on)) return;
  EnvelopeState& st = c.channel.volume_envelope;
  const EnvelopePoint* pts = ins.volume_envelope;
  int32_t count = ins.volume_point_count;
  int32_t p = param(c);
  int32_t i = 0;
  while (i < count && pts[i + 1].tick < p) ++i;
  if (i < count - 1) {
    // Before the first point the envelope starts at that point, not before it.
    if (p < pts[i].tick) p = pts[i].tick;
    int32_t ticks = int32_t(pts[i + 1].tick) - int32_t(pts[i].tick);
    st.stopped = 0;
    st.tick = p;
    st.delta = ticks ? ((int32_t(pts[i + 1].value) - int32_t(pts[i].value)) * 65536) / ticks : 0;
    st.point = i + 1;
    st.value_fixed = (p - int32_t(pts[i].tick)) * st.delta + int32_t(pts[i].value) * 65536;
    st.value = st.value_fixed >> 16;
  } else {
    st.value = pts[count - 1].value;
    st.stopped = 1;
  }
}

// P: panning slide
void pan_slide_first(EffectContext& c) {
  if (param(c)) {
    c.channel.pan_slide_memory = param(c);
    flag(c, xm_update_panning);
  }
}
void pan_slide_later(EffectContext& c) {
  XmChannel& ch = c.channel;
  uint8_t right = ch.pan_slide_memory >> 4, left = ch.pan_slide_memory & 0x0F;
  if (right)
    ch.pan = ch.pan + right > 255 ? 255 : ch.pan + right;
  else
    ch.pan = ch.pan - left < 0 ? 0 : ch.pan - left;
  flag(c, xm_update_panning);
}

// R: multi retrigger; volume change per high nibble as (volume x mul / div) + add
struct RetrigChange {
  int8_t add, mul, div;
};
constexpr RetrigChange retrig_changes[16] = {
    {0, 1, 1},  {-1, 1, 1}, {-2, 1, 1}, {-4, 1, 1}, {-8, 1, 1}, {-16, 1, 1}, {0, 2, 3}, {0, 1, 2},
    {0, 1, 1},  {1, 1, 1},  {2, 1, 1},  {4, 1, 1},  {8, 1, 1},  {16, 1, 1},  {0, 3, 2}, {0, 2, 1},
};
void multi_retrig_first(EffectContext& c) {
  if (param(c)) {
    c.channel.retrig_volume_change = x_of(c);
    c.channel.retrig_interval = y_of(c);
  }
}
void multi_retrig_later(EffectContext& c) {
  XmChannel& ch = c.channel;
  if (!ch.retrig_interval || c.module.tick % ch.retrig_interval != 0) return;
  if (ch.retrig_volume_change) {
    const RetrigChange& r = retrig_changes[ch.retrig_volume_change & 0x0F];
    ch.volume = clamp(ch.volume * r.mul / r.div + r.add, 0, 64);
    flag(c, xm_update_volume);
  }
  flag(c, xm_update_trigger);
}

// T: tremor
void tremor_first(EffectContext& c) {
  if (param(c)) {
    c.channel.tremor_on = uint8_t(x_of(c) + 1);
    c.channel.tremor_off = uint8_t(y_of(c) + 1);
  }
  xm_tremor(c.channel);
}
void tremor_later(EffectContext& c) { xm_tremor(c.channel); }

// X: extra fine portamento (X1 up, X2 down)
void extra_fine_first(EffectContext& c) {
  XmChannel& ch = c.channel;
  uint8_t y = y_of(c);
  if (x_of(c) == 1) {
    if (y) ch.extra_fine_up_memory = y;
    ch.period = clamp(ch.period - ch.extra_fine_up_memory, xm_period_min, INT32_MAX);
  } else if (x_of(c) == 2) {
    if (y) ch.extra_fine_down_memory = y;
    ch.period = clamp(ch.period + ch.extra_fine_down_memory, INT32_MIN, xm_period_max);
  }
}

constexpr Effect effects[0x22] = {
    {nothing, arpeggio_later},                      // 0 arpeggio
    {porta_up_first, porta_up_later},               // 1 portamento up
    {porta_down_first, porta_down_later},           // 2 portamento down
    {tone_porta_first, tone_porta_later},           // 3 tone portamento
    {vibrato_first, vibrato_later},                 // 4 vibrato
    {porta_slide_first, porta_slide_later},         // 5 tone portamento + volume slide
    {vibrato_slide_first, vibrato_slide_later},     // 6 vibrato + volume slide
    {tremolo_first, tremolo_later},                 // 7 tremolo
    {set_panning_first, nothing},                   // 8 set panning
    {sample_offset_first, nothing},                 // 9 sample offset
    {volume_slide_first, volume_slide_later},       // A volume slide
    {position_jump_first, nothing},                 // B position jump
    {set_volume_first, nothing},                    // C set volume
    {pattern_break_first, nothing},                 // D pattern break
    {extended_first, extended_later},               // E extended
    {speed_first, nothing},                         // F speed / tempo
    {global_volume_first, nothing},                 // G global volume
    {global_slide_first, global_slide_later},       // H global volume slide
    {nothing, nothing},                             // I
    {nothing, nothing},                             // J
    {nothing, nothing},                             // K key off (on its tick, before the envelopes)
    {envelope_position_first, nothing},             // L envelope position
    {nothing, nothing},                             // M
    {nothing, nothing},                             // N
    {nothing, nothing},                             // O
    {pan_slide_first, pan_slide_later},             // P panning slide
    {nothing, nothing},                             // Q
    {multi_retrig_first, multi_retrig_later},       // R multi retrigger
    {nothing, nothing},                             // S
    {tremor_first, tremor_later},                   // T tremor
    {nothing, nothing},                             // U
    {nothing, nothing},                             // V
    {nothing, nothing},                             // W
    {extra_fine_first, nothing},                    // X extra fine portamento
};

}  // namespace

void xm_effect_first_tick(EffectContext& context) {
  uint8_t number = context.cell.effect;
  if (number < sizeof effects / sizeof effects[0]) effects[number].first_tick(context);
}

void xm_effect_later_tick(EffectContext& context) {
  uint8_t number = context.cell.effect;
  if (number < sizeof effects / sizeof effects[0]) effects[number].later_ticks(context);
}
