// Tick sequencing and the two halves of a tick: the row start (notes,
// instruments, volume column, first-tick effects) and the later ticks of a row.
// Every channel ends every tick with auto-vibrato and xm_update_voice.
#include "xm/xm_replay.h"

#include <cstdlib>

#include "xm/xm_channel.h"
#include "xm/xm_effects.h"
#include "xm/xm_mixer.h"
#include "xm/xm_module.h"
#include "xm/xm_volume_column.h"

namespace {

bool is_note(uint8_t note) { return note != 0 && note != xm_note_key_off; }

struct Lookup {
  const XmInstrument* instrument;
  XmSample* sample;
};

Lookup look_up(const XmModule& m, const XmChannel& ch) {
  if (ch.instrument < m.instrument_count) {
    const XmInstrument& ins = m.instruments[ch.instrument];
    uint8_t slot = ins.key_map[ch.note];
    return {&ins, slot < xm_max_samples_per_instrument ? ins.samples[slot] : &xm_blank_sample};
  }
  return {&xm_blank_instrument, &xm_blank_sample};
}

const XmCell& cell_of(const XmModule& m, int channel) {
  const XmPattern& pattern = xm_pattern_at_order(m, m.order);
  return pattern.cells[size_t(m.row) * size_t(m.channel_count) + size_t(channel)];
}

// Volume and panning envelopes and the fadeout after key off.
void run_envelopes(XmChannel& ch, const XmInstrument& ins) {
  xm_step_envelopes(ch, ins);
  if (ch.key_off) {
    ch.fade_volume -= ins.fadeout;
    if (ch.fade_volume < 0) ch.fade_volume = 0;
    ch.update_flags |= xm_update_volume;
  }
}

// E5x tunes the note of its row, in FT2's steps of 1/8 semitone from -1 (E50)
// through 0 (E58); the sample itself keeps its finetune for every later note.
int8_t note_finetune(const XmCell& cell, const XmSample& sample) {
  if (cell.effect == 0x0E && (cell.parameter >> 4) == 0x5) return int8_t(((cell.parameter & 0x0F) << 4) - 128);
  return sample.finetune;
}

// Kxx keys off on tick xx of its row (K00 at the row start, with a key-off note).
bool keys_off_on(const XmCell& cell, int32_t tick) { return cell.effect == 0x14 && cell.parameter == tick; }

}  // namespace

void xm_set_bpm(XmModule& module, int32_t bpm) {
  if (bpm < 1) bpm = 1;
  module.bpm = bpm;
  int32_t samples = int32_t(1000.0f / (float(bpm) * 0.4f) * float(xm_output_rate) * 0.001f);
  module.samples_per_tick = samples < 1 ? 1 : samples;
}

void xm_process_row(XmModule& m) {
  m.next_order = -1;
  m.next_row = -1;
  bool jump_seen = false;
  bool linear = m.flags & xm_flag_linear;
  for (int c = 0; c < m.channel_count; ++c) {
    XmChannel& ch = m.channels[c];
    const XmCell& cell = cell_of(m, c);
    // As in FT2, a volume-column portamento (Fx) slides like effect 3: the
    // note sets the target and the period keeps where it was.
    bool porta = cell.effect == 3 || cell.effect == 5 || (cell.volume >> 4) == 0xF;
    if (cell.instrument && !porta) ch.instrument = uint8_t(cell.instrument - 1);
    if (is_note(cell.note) && !porta) ch.note = uint8_t(cell.note - 1);
    Lookup found = look_up(m, ch);
    const XmInstrument& ins = *found.instrument;
    XmSample* sample = found.sample;

    int32_t saved_period = ch.period, saved_volume = ch.volume, saved_pan = ch.pan;
    if (ch.previous_effect == 7 && cell.effect != 7) ch.volume += ch.volume_delta;  // tremolo made permanent
    ch.volume_delta = 0;
    ch.update_flags = 0;
    ch.previous_effect = cell.effect;

    if (is_note(cell.note)) {
      ch.real_note = uint8_t(cell.note - 1 + sample->relative_note);
      ch.finetune = note_finetune(cell, *sample);
      ch.note_period = linear ? 7680 - int32_t(ch.real_note) * 64 - ch.finetune / 2
                              : xm_amiga_period(ch.real_note, ch.finetune);
      if (!porta) ch.period = ch.note_period;
      ch.update_flags = xm_update_trigger;
    }
    ch.period_delta = 0;
    ch.update_flags |= xm_update_frequency | xm_update_volume;
    if (cell.instrument) xm_reset_channel_from_sample(ch, *sample);
    if (cell.volume) xm_volume_column_row(ch, cell.volume);
    if (cell.note == xm_note_key_off || keys_off_on(cell, 0)) xm_key_off(ch, ins);
    run_envelopes(ch, ins);

    EffectContext context{m, ch, cell, sample, ins, &jump_seen, saved_period, saved_volume, saved_pan};
    xm_effect_first_tick(context);
    xm_auto_vibrato(ch, ins);
    xm_update_voice(ch, sample, m);
  }
}

void xm_process_tick(XmModule& m) {
  for (int c = 0; c < m.channel_count; ++c) {
    XmChannel& ch = m.channels[c];
    const XmCell& cell = cell_of(m, c);
    Lookup found = look_up(m, ch);
    const XmInstrument& ins = *found.instrument;
    XmSample* sample = found.sample ? found.sample : &xm_blank_sample;
    ch.volume_delta = 0;
    ch.period_delta = 0;
    ch.update_flags = 0;
    if (keys_off_on(cell, m.tick)) xm_key_off(ch, ins);
    run_envelopes(ch, ins);
    if (cell.volume) xm_volume_column_later(ch, cell.volume);
    EffectContext context{m, ch, cell, sample, ins, nullptr, 0, 0, 0};
    xm_effect_later_tick(context);
    xm_auto_vibrato(ch, ins);
    xm_update_voice(ch, sample, m);
  }
}

void xm_tick(XmModule& m) {
  if (m.tick == 0) {
    if (m.next_order >= 0) m.order = m.next_order;
    if (m.next_row >= 0) m.row = m.next_row;
    // A break to a row the pattern does not have starts the pattern at row 0,
    // as a break above row 63 does.
    if (uint32_t(m.row) >= xm_pattern_at_order(m, m.order).row_count) m.row = 0;
    xm_process_row(m);
    if (m.next_row == -1) {
      m.next_row = m.row + 1;
      if (uint32_t(m.next_row) >= xm_pattern_at_order(m, m.order).row_count) {
        m.next_order = m.order + 1;
        if (m.next_order >= m.song_length) m.next_order = m.restart_position;
        m.next_row = 0;
      }
    }
  } else {
    xm_process_tick(m);
  }
  m.tick += 1;
  if (m.tick >= m.speed + m.pattern_delay) {
    m.pattern_delay = 0;
    m.tick = 0;
  }
}

void xm_reset_replay(XmModule& m, MixVoice* voices) {
  m.global_volume = m.initial_global_volume;
  m.next_order = -1;
  m.next_row = -1;
  m.speed = m.default_speed;
  m.row = 0;
  m.order = 0;
  m.samples_left_in_tick = 0;
  m.tick = 0;
  m.pattern_delay = 0;
  m.elapsed_ms = 0;
  xm_set_bpm(m, m.default_bpm);
  for (int c = 0; c < xm_max_channels; ++c) {
    m.channels[c] = XmChannel{};
    m.channels[c].voice = &voices[c];
  }
}
