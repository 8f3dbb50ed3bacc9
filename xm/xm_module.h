#pragma once
// The song model of one loaded XM module: patterns, instruments, samples and the
// replay state the engine drives. Built by xm_load (xm_load.cpp), played by the
// block renderer (xm_mixer.h), released by xm_free.
//
// Samples are held as 16-bit values with a guard value behind each loop (and at
// least 8 zero values of slack behind the data), so the mixer's interpolation can
// read one value past a loop end without a check.
#include <cstdint>

#include "xm/xm_channel.h"

constexpr int xm_max_channels = 32;
constexpr int xm_max_samples_per_instrument = 16;
constexpr int xm_max_instruments = 128;
constexpr int xm_max_patterns = 256;
constexpr int xm_max_rows = 256;
constexpr int xm_order_entries = 256;
constexpr int xm_envelope_points_read = 12;
constexpr int xm_envelope_points_held = 20;

constexpr uint8_t xm_note_key_off = 255;
constexpr uint16_t xm_flag_linear = 1;

struct XmCell {
  uint8_t note;        // 0 none, 1..96 C-0 upward, 255 key off
  uint8_t instrument;  // 0 none, 1..128
  uint8_t volume;      // volume-column byte
  uint8_t effect;
  uint8_t parameter;
};

struct XmPattern {
  uint32_t row_count = 0;
  XmCell* cells = nullptr;  // row_count x channel_count, row-major
};

struct EnvelopePoint {
  uint16_t tick;
  uint16_t value;  // 0..64 (panning: 32 is centre)
};

constexpr uint8_t xm_loop_none = 1;
constexpr uint8_t xm_loop_forward = 2;
constexpr uint8_t xm_loop_ping_pong = 4;

struct XmSample {
  int16_t* data = nullptr;  // length values + guard + slack; null when length is 0
  uint32_t length = 0;      // in values
  uint32_t loop_start = 0;
  uint32_t loop_length = 0;  // never 0 after loading unless length is 0
  uint8_t volume = 0;        // 0..64
  int8_t finetune = 0;
  uint32_t panning = 0;      // 0..255
  uint8_t bits = 0;          // 16 after loading
  uint8_t loop_mode = 0;     // xm_loop_*; 0 only for the blank sample
  int8_t relative_note = 0;
};

constexpr uint8_t xm_envelope_on = 1;
constexpr uint8_t xm_envelope_sustain = 2;
constexpr uint8_t xm_envelope_loop = 4;

struct XmInstrument {
  uint32_t sample_count = 0;
  XmSample* samples[xm_max_samples_per_instrument] = {};  // unowned slots point at the blank sample
  uint8_t key_map[96] = {};
  EnvelopePoint volume_envelope[xm_envelope_points_held] = {};
  EnvelopePoint panning_envelope[xm_envelope_points_held] = {};
  uint8_t volume_point_count = 0;
  uint8_t panning_point_count = 0;
  uint8_t volume_sustain_point = 0;
  uint8_t volume_loop_start_point = 0;
  uint8_t volume_loop_end_point = 0;
  uint8_t panning_sustain_point = 0;
  uint8_t panning_loop_start_point = 0;
  uint8_t panning_loop_end_point = 0;
  uint8_t volume_type = 0;
  uint8_t panning_type = 0;
  uint8_t vibrato_type = 0;
  uint8_t vibrato_sweep = 0;
  uint8_t vibrato_depth = 0;
  uint8_t vibrato_rate = 0;
  uint16_t fadeout = 0;  // twice the file's value
};

struct XmModule;
using XmTickFunction = void (*)(XmModule& module);

struct XmModule {
  XmPattern* patterns = nullptr;        // pattern_count_held entries
  XmInstrument* instruments = nullptr;  // instrument_count entries
  int32_t samples_left_in_tick = 0;
  int32_t samples_per_tick = 0;
  int16_t song_length = 0;              // 1..256 after loading
  int16_t restart_position = 0;         // below song_length after loading
  int16_t channel_count = 0;            // 1..32 after loading
  int32_t patterns_used = 0;
  int32_t pattern_count_held = 0;
  int16_t instrument_count = 0;
  uint16_t flags = 0;                   // bit 0: linear frequency table
  int16_t default_speed = 0;
  int16_t default_bpm = 0;
  uint8_t order_table[xm_order_entries] = {};
  uint8_t initial_global_volume = 0;
  int32_t global_volume = 0;
  uint8_t global_volume_slide_memory = 0;
  int32_t tick = 0;
  int32_t speed = 0;
  int32_t bpm = 0;
  int32_t row = 0;
  int32_t order = 0;
  int32_t pattern_delay = 0;
  int32_t next_row = -1;
  int32_t next_order = -1;
  uint32_t elapsed_ms = 0;
  XmTickFunction tick_function = nullptr;

  // Per-channel replay state; slot i starts on mixer voice i.
  XmChannel channels[xm_max_channels] = {};
  // Title from the header, for tools (the player never needs it).
  char title[21] = {};
};

// Stand-ins for empty sample slots and for instrument numbers beyond the module's.
extern XmSample xm_blank_sample;
extern const XmInstrument xm_blank_instrument;

inline const XmPattern& xm_pattern_at_order(const XmModule& module, int32_t order) {
  return module.patterns[module.order_table[order & 0xFF]];
}
