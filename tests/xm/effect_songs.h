#pragma once
// A song for the per-tick references that runs through the whole volume column
// (every byte 00..FF once per pattern) and every effect the engine knows with a
// spread of parameters, on instruments with envelopes, auto-vibrato, two
// samples and none. Position jumps, breaks and speed changes are left out so
// that the rows come in order.
#include "tests/xm/xm_writer.h"

namespace xmw {

inline Sample effect_wave(int length, uint8_t loop, bool sixteen) {
  Sample s;
  s.sixteen_bit = sixteen;
  for (int i = 0; i < length; ++i) s.values.push_back(int16_t((i * 2371 % 4000 - 2000) * 8));
  s.loop_type = loop;
  s.loop_start = loop ? uint32_t(length / 4) : 0;
  s.loop_length = loop ? uint32_t(length / 2) : 0;
  s.panning = uint8_t(64 + length % 128);
  return s;
}

// An enveloped instrument (sustain, loop, fadeout, auto-vibrato with sweep), one
// with two samples split over the keyboard, and one with none.
inline std::vector<Instrument> effect_instruments() {
  Instrument a = single_sample_instrument(effect_wave(400, 1, false));
  a.volume.points = {{0, 64}, {5, 20}, {12, 50}, {30, 0}};
  a.volume.type = 7;
  a.volume.sustain = 1;
  a.volume.loop_start = 1;
  a.volume.loop_end = 2;
  a.panning.points = {{0, 0}, {10, 64}};
  a.panning.type = 1;
  a.fadeout = 500;
  a.vibrato_depth = 8;
  a.vibrato_rate = 30;
  a.vibrato_sweep = 5;
  Instrument b;
  b.samples = {effect_wave(300, 2, true), effect_wave(90, 0, false)};
  for (int i = 48; i < 96; ++i) b.key_map[i] = 1;
  b.vibrato_type = 2;
  b.vibrato_depth = 3;
  b.vibrato_rate = 9;
  Instrument none;  // no samples
  return {a, b, none};
}

inline Song every_column_song(uint16_t flags) {
  static constexpr uint8_t effects[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A,
                                        0x0C, 0x0E, 0x10, 0x11, 0x14, 0x15, 0x19, 0x1B, 0x1D, 0x21};
  constexpr int channels = 4;
  Song song;
  song.title = "every column";
  song.channels = channels;
  song.flags = flags;
  song.speed = 2;
  song.orders = {0, 1};
  for (int p = 0; p < 2; ++p) {
    Pattern pattern;
    pattern.rows = 64;
    for (int r = 0; r < 64; ++r)
      for (int c = 0; c < channels; ++c) {
        int k = r * 7 + c * 13 + p * 5;
        Cell& cell = at(pattern, channels, r, c);
        cell.note = uint8_t(k % 9 == 0 ? 97 : (k % 4 == 1 ? 0 : 30 + k % 50));
        cell.instrument = uint8_t(k % 5 == 2 ? 0 : 1 + k % 3);
        cell.volume = uint8_t(r * 4 + c);
        cell.effect = effects[size_t(r + c * 9 + p * 3) % sizeof effects];
        cell.parameter = uint8_t(r * 37 + c * 11 + p);
      }
    song.patterns.push_back(pattern);
  }
  song.instruments = effect_instruments();
  return song;
}

}  // namespace xmw
