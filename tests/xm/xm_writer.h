#pragma once
// A small XM writer for tests, the fuzz seeds, the benchmarks and the stand-in
// module: builds module files in memory from plain structs. Fields are written
// as given, so a test can also build files that break the rules.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace xmw {

struct Cell {
  uint8_t note = 0, instrument = 0, volume = 0, effect = 0, parameter = 0;
};

// "C-4" style names; C-0 is note 1.
inline uint8_t note(const char* name) {
  static constexpr int semitones[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  int n = semitones[name[0] - 'A'];
  if (name[1] == '#') n += 1;
  return uint8_t(1 + (name[2] - '0') * 12 + n);
}

struct Pattern {
  uint16_t rows = 64;
  std::vector<Cell> cells;   // rows x channels; missing cells are empty
  bool store_empty = false;  // write packed size 0 and no data
  bool raw_cells = false;    // the unpacked 5-byte form instead of packing
};

struct Sample {
  std::vector<int16_t> values;  // 8-bit samples use the high byte
  bool sixteen_bit = false;
  uint32_t loop_start = 0, loop_length = 0;  // in values
  uint8_t loop_type = 0;                     // 0 none, 1 forward, 2 ping-pong (type byte bits)
  uint8_t volume = 64;
  int8_t finetune = 0;
  uint8_t panning = 128;
  int8_t relative_note = 0;
  // Byte counts as written; left at ~0 they follow from values and loop fields.
  uint32_t length_bytes = ~0u, loop_start_bytes = ~0u, loop_length_bytes = ~0u;
};

struct Envelope {
  std::vector<std::pair<uint16_t, uint16_t>> points;  // tick, value
  uint8_t count = 0xFF;  // 0xFF: the number of points
  uint8_t type = 0, sustain = 0, loop_start = 0, loop_end = 0;
};

struct Instrument {
  std::vector<Sample> samples;
  uint8_t key_map[96] = {};
  Envelope volume, panning;
  uint8_t vibrato_type = 0, vibrato_sweep = 0, vibrato_depth = 0, vibrato_rate = 0;
  uint16_t fadeout = 0;
  uint16_t sample_count = 0xFFFF;  // 0xFFFF: samples.size()
};

struct Song {
  std::string title = "test";
  uint16_t channels = 4;
  std::vector<uint8_t> orders = {0};
  uint16_t song_length = 0xFFFF;  // 0xFFFF: orders.size()
  uint16_t restart = 0;
  uint16_t flags = 1;  // linear
  uint16_t speed = 6, bpm = 125;
  std::vector<Pattern> patterns;
  std::vector<Instrument> instruments;
  uint16_t pattern_count = 0xFFFF;  // 0xFFFF: patterns.size()
};

inline void put8(std::vector<uint8_t>& out, uint32_t v) { out.push_back(uint8_t(v)); }
inline void put16(std::vector<uint8_t>& out, uint32_t v) {
  put8(out, v);
  put8(out, v >> 8);
}
inline void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v);
  put16(out, v >> 16);
}
inline void put_text(std::vector<uint8_t>& out, const std::string& text, size_t size) {
  for (size_t i = 0; i < size; ++i) put8(out, i < text.size() ? uint8_t(text[i]) : 0);
}

inline void write_pattern(std::vector<uint8_t>& out, const Pattern& p, int channels) {
  std::vector<uint8_t> data;
  size_t count = size_t(p.rows) * size_t(channels);
  for (size_t i = 0; i < count && !p.store_empty; ++i) {
    Cell c = i < p.cells.size() ? p.cells[i] : Cell{};
    if (p.raw_cells) {
      data.insert(data.end(), {c.note, c.instrument, c.volume, c.effect, c.parameter});
      continue;
    }
    uint8_t mask = 0x80 | (c.note ? 1 : 0) | (c.instrument ? 2 : 0) | (c.volume ? 4 : 0) | (c.effect ? 8 : 0) |
                   (c.parameter ? 16 : 0);
    data.push_back(mask);
    if (c.note) data.push_back(c.note);
    if (c.instrument) data.push_back(c.instrument);
    if (c.volume) data.push_back(c.volume);
    if (c.effect) data.push_back(c.effect);
    if (c.parameter) data.push_back(c.parameter);
  }
  put32(out, 9);
  put8(out, 0);
  put16(out, p.rows);
  put16(out, uint32_t(data.size()));
  out.insert(out.end(), data.begin(), data.end());
}

inline void write_envelope(std::vector<uint8_t>& out, const Envelope& e) {
  for (int i = 0; i < 12; ++i) {
    auto point = i < int(e.points.size()) ? e.points[size_t(i)] : std::pair<uint16_t, uint16_t>{0, 0};
    put16(out, point.first);
    put16(out, point.second);
  }
}

inline void write_instrument(std::vector<uint8_t>& out, const Instrument& ins) {
  uint16_t count = ins.sample_count == 0xFFFF ? uint16_t(ins.samples.size()) : ins.sample_count;
  size_t start = out.size();
  put32(out, 0);  // header size, patched below
  put_text(out, "instrument", 22);
  put8(out, 0);
  put16(out, count);
  if (count > 0) {
    put32(out, 40);
    out.insert(out.end(), ins.key_map, ins.key_map + 96);
    write_envelope(out, ins.volume);
    write_envelope(out, ins.panning);
    put8(out, ins.volume.count == 0xFF ? uint32_t(ins.volume.points.size()) : ins.volume.count);
    put8(out, ins.panning.count == 0xFF ? uint32_t(ins.panning.points.size()) : ins.panning.count);
    put8(out, ins.volume.sustain);
    put8(out, ins.volume.loop_start);
    put8(out, ins.volume.loop_end);
    put8(out, ins.panning.sustain);
    put8(out, ins.panning.loop_start);
    put8(out, ins.panning.loop_end);
    put8(out, ins.volume.type);
    put8(out, ins.panning.type);
    put8(out, ins.vibrato_type);
    put8(out, ins.vibrato_sweep);
    put8(out, ins.vibrato_depth);
    put8(out, ins.vibrato_rate);
    put16(out, ins.fadeout);
    put16(out, 0);
    for (int i = 0; i < 20; ++i) put8(out, 0);  // reserved up to the 263-byte header
  }
  uint32_t size = uint32_t(out.size() - start);
  std::memcpy(out.data() + start, &size, 4);
  for (const Sample& s : ins.samples) {
    uint32_t width = s.sixteen_bit ? 2 : 1;
    put32(out, s.length_bytes != ~0u ? s.length_bytes : uint32_t(s.values.size()) * width);
    put32(out, s.loop_start_bytes != ~0u ? s.loop_start_bytes : s.loop_start * width);
    put32(out, s.loop_length_bytes != ~0u ? s.loop_length_bytes : s.loop_length * width);
    put8(out, s.volume);
    put8(out, uint8_t(s.finetune));
    put8(out, s.loop_type | (s.sixteen_bit ? 0x10 : 0));
    put8(out, s.panning);
    put8(out, uint8_t(s.relative_note));
    put8(out, 0);
    put_text(out, "sample", 22);
  }
  for (const Sample& s : ins.samples) {
    int16_t previous = 0;
    for (int16_t v : s.values) {
      if (s.sixteen_bit) {
        put16(out, uint16_t(v - previous));
        previous = v;
      } else {
        int8_t byte = int8_t(v >> 8);
        put8(out, uint8_t(byte - int8_t(previous)));
        previous = byte;
      }
    }
  }
}

inline std::vector<uint8_t> write(const Song& song) {
  std::vector<uint8_t> out;
  put_text(out, "Extended Module: ", 17);
  put_text(out, song.title, 20);
  put8(out, 0x1A);
  put_text(out, "test writer", 20);
  put16(out, 0x0104);
  put32(out, 276);
  put16(out, song.song_length == 0xFFFF ? uint32_t(song.orders.size()) : song.song_length);
  put16(out, song.restart);
  put16(out, song.channels);
  put16(out, song.pattern_count == 0xFFFF ? uint32_t(song.patterns.size()) : song.pattern_count);
  put16(out, uint32_t(song.instruments.size()));
  put16(out, song.flags);
  put16(out, song.speed);
  put16(out, song.bpm);
  for (int i = 0; i < 256; ++i) put8(out, i < int(song.orders.size()) ? song.orders[size_t(i)] : 0);
  for (const Pattern& p : song.patterns) write_pattern(out, p, song.channels);
  for (const Instrument& ins : song.instruments) write_instrument(out, ins);
  return out;
}

// One instrument with one sample on every key.
inline Instrument single_sample_instrument(Sample sample) {
  Instrument ins;
  ins.samples.push_back(std::move(sample));
  return ins;
}

inline Cell& at(Pattern& p, int channels, int row, int channel) {
  size_t index = size_t(row) * size_t(channels) + size_t(channel);
  if (p.cells.size() < size_t(p.rows) * size_t(channels)) p.cells.resize(size_t(p.rows) * size_t(channels));
  return p.cells[index];
}

}  // namespace xmw
