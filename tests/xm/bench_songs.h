#pragma once
// Songs for the renderer benchmark and its output guard: every channel busy,
// looping 8- and 16-bit samples, envelopes, vibrato, slides, arpeggio and tone
// portamento, as a real module of that many channels would be.
#include <cmath>

#include "tests/xm/xm_writer.h"

namespace xmw {

inline Sample bench_wave(int kind, int length) {
  Sample s;
  s.sixteen_bit = kind % 2 == 0;
  uint32_t seed = 0x9E3779B9u * uint32_t(kind + 1);
  for (int i = 0; i < length; ++i) {
    double p = double(i) / length;
    double v;
    switch (kind % 4) {
      case 0: v = std::sin(p * 2 * 3.14159265358979 * 4); break;
      case 1: v = 2 * std::fmod(p * 8, 1.0) - 1; break;
      case 2: v = std::fmod(p * 6, 1.0) < 0.5 ? 0.7 : -0.7; break;
      default:
        seed = seed * 1664525u + 1013904223u;
        v = (double(seed >> 8) / 8388608.0 - 1.0) * std::exp(-p * 4);
        break;
    }
    s.values.push_back(int16_t(std::lround(v * 20000)));
  }
  s.loop_type = kind % 4 == 3 ? 0 : (kind % 3 == 1 ? 2 : 1);
  s.loop_start = uint32_t(length / 4);
  s.loop_length = uint32_t(length - length / 4);
  s.volume = 48;
  s.panning = uint8_t(40 + kind * 37 % 176);
  return s;
}

inline Song bench_song(int channels) {
  Song song;
  song.title = "bench";
  song.channels = uint16_t(channels);
  song.speed = 5;
  song.bpm = 132;
  song.orders = {0, 1, 2, 1};
  for (int k = 0; k < 6; ++k) {
    Instrument ins = single_sample_instrument(bench_wave(k, 2000 + k * 900));
    ins.volume.points = {{0, 64}, {8, 48}, {40, 40}, {80, 0}};
    ins.volume.type = 3;
    ins.volume.sustain = 2;
    ins.fadeout = 400;
    ins.vibrato_depth = uint8_t(k % 3 == 0 ? 4 : 0);
    ins.vibrato_rate = 12;
    song.instruments.push_back(ins);
  }
  static constexpr uint8_t effects[8][2] = {{0x04, 0x46}, {0x0A, 0x02}, {0x00, 0x37}, {0x03, 0x20},
                                            {0x06, 0x01}, {0x07, 0x24}, {0x01, 0x02}, {0x00, 0x00}};
  for (int p = 0; p < 3; ++p) {
    Pattern pattern;
    pattern.rows = 64;
    for (int r = 0; r < 64; ++r)
      for (int c = 0; c < channels; ++c) {
        int k = r + c * 5 + p * 11;
        Cell& cell = at(pattern, channels, r, c);
        if ((r + c) % 4 == 0) {
          cell.note = uint8_t(30 + (k * 7) % 40);
          cell.instrument = uint8_t(1 + (c + p) % 6);
          cell.volume = uint8_t(0x20 + (k * 3) % 0x30);
        }
        if ((r + c) % 16 == 14) cell.note = 97;
        cell.effect = effects[k % 8][0];
        cell.parameter = effects[k % 8][1];
      }
    song.patterns.push_back(pattern);
  }
  return song;
}

}  // namespace xmw
