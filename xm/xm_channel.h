#pragma once
// One pattern channel of the playing module: what the replay engine has made of
// its cells (period, volume, pan, effect memories, envelope, fadeout and vibrato
// state) and the update flags that tell xm_update_voice what to push into the
// channel's mixer voice at the end of the tick. The operations on it live in
// xm_channel.cpp; they run on the thread that renders blocks.
#include <cstdint>

struct MixVoice;
struct XmSample;
struct XmInstrument;
struct XmModule;
struct EnvelopePoint;

constexpr uint8_t xm_update_frequency = 0x01;
constexpr uint8_t xm_update_volume = 0x02;
constexpr uint8_t xm_update_panning = 0x04;
constexpr uint8_t xm_update_trigger = 0x08;
constexpr uint8_t xm_update_rewind = 0x20;

struct EnvelopeState {
  int32_t tick = 0;
  int32_t point = 0;
  int32_t value_fixed = 0;  // 16.16
  int32_t value = 0;        // 0..64
  int32_t delta = 0;        // 16.16 per tick
  uint8_t stopped = 0;
};

struct XmChannel {
  uint8_t note;               // last pattern note minus 1 (0..95)
  uint8_t update_flags;
  MixVoice* voice;
  int32_t period;
  int32_t volume;             // 0..64; the set-volume effect may store more
  int32_t pan;                // 0..255
  int32_t volume_delta;       // tremolo / tremor offset of this tick
  int32_t period_delta;       // arpeggio / vibrato / auto-vibrato offset of this tick
  EnvelopeState volume_envelope;
  EnvelopeState panning_envelope;
  int32_t fade_volume;        // 65536 down to 0 after key off
  int32_t auto_vibrato_position;
  int32_t auto_vibrato_sweep;
  uint8_t key_off;
  uint8_t instrument;         // instrument column minus 1
  uint8_t real_note;
  int8_t finetune;            // of the note playing: its sample's, or E5x's on the note's row
  int32_t note_period;
  uint8_t previous_effect;
  uint32_t sample_offset_memory;
  uint8_t porta_down_memory, porta_up_memory;
  uint8_t extra_fine_down_memory, extra_fine_up_memory;
  uint8_t volume_slide_memory;
  uint8_t pan_slide_memory;
  uint8_t retrig_volume_change, retrig_interval;
  int32_t porta_target;
  uint8_t porta_speed;
  int8_t vibrato_position;    // -32..31
  uint8_t vibrato_speed, vibrato_depth;
  int8_t tremolo_position;
  uint8_t tremolo_speed, tremolo_depth;
  uint8_t tremor_position, tremor_on, tremor_off;
  uint32_t loop_row;
  uint32_t loop_count;
  uint8_t wave_control;       // low nibble vibrato, high nibble tremolo
  uint8_t fine_volume_slide_memory;
  uint8_t fine_porta_up_memory, fine_porta_down_memory;
};

// Periods in both tables are held within FT2's range by the slides.
constexpr int32_t xm_period_min = 1;
constexpr int32_t xm_period_max = 31999;

void xm_reset_channel_from_sample(XmChannel& channel, const XmSample& sample);
void xm_envelope_step(XmChannel& channel, const EnvelopePoint* points, int point_count, uint8_t type,
                   int sustain_point, int loop_start_point, int loop_end_point, EnvelopeState& state,
                   uint8_t flag);
// Both envelopes one tick on, each where the instrument has it on and it has not stopped.
void xm_step_envelopes(XmChannel& channel, const XmInstrument& instrument);
// The envelope goes on past its sustain point and the fadeout starts; without a
// volume envelope the note falls silent at once.
void xm_key_off(XmChannel& channel, const XmInstrument& instrument);
void xm_vibrato(XmChannel& channel);
// Moves the vibrato position on by its speed (xm_tremolo moves its own).
void xm_advance_vibrato(XmChannel& channel);
void xm_tremolo(XmChannel& channel);
void xm_tone_portamento(XmChannel& channel);
void xm_tremor(XmChannel& channel);
void xm_auto_vibrato(XmChannel& channel, const XmInstrument& instrument);
int32_t xm_amiga_period(int32_t note, int32_t finetune);
void xm_update_voice(XmChannel& channel, XmSample* sample, const XmModule& module);

// The waveform value (0..255) vibrato and tremolo scale by their depth.
int32_t xm_wave_value(int waveform, int8_t position);
// Mixer step (32.32) for a frequency in Hz at the output rate, floored at 100 Hz.
void xm_frequency_to_step(int32_t frequency, uint32_t& step_integer, uint32_t& step_fraction);
int32_t xm_linear_frequency(int32_t period, int32_t period_delta);
int32_t xm_amiga_frequency(int32_t period, int32_t period_delta);
