// The song model that a score file describes and an XM file carries: header
// values, patterns of cells, and instruments with one synthesised sample each.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace xmc {

// One pattern cell in XM numbering: note 1..96 (C-0 up), 97 key off, 0 none.
struct Cell {
  uint8_t note = 0;
  uint8_t instrument = 0;
  uint8_t volume = 0;  // raw volume-column byte
  uint8_t effect = 0;
  uint8_t param = 0;
};

constexpr uint8_t kKeyOff = 97;

struct EnvelopePoint {
  uint16_t tick = 0;
  uint16_t value = 0;
};

struct Envelope {
  std::vector<EnvelopePoint> points;  // at most 12
  int sustain = -1;                   // point index, -1 none
  int loop_start = -1;
  int loop_end = -1;
};

enum class LoopMode : uint8_t { none = 0, forward = 1, pingpong = 2 };

// A finished sample: values in the sample's own resolution (-128..127 for 8 bit).
struct Sample {
  std::vector<int16_t> values;
  bool sixteen_bit = true;
  LoopMode loop = LoopMode::none;
  uint32_t loop_start = 0;   // in values
  uint32_t loop_length = 0;  // in values
  uint8_t volume = 64;
  int8_t finetune = 0;
  uint8_t pan = 128;
  int8_t relative_note = 0;
};

struct Instrument {
  std::string id;     // the name scores use
  std::string title;  // the name stored in the file (22 characters)
  Envelope volume_envelope;
  Envelope panning_envelope;
  uint16_t fadeout = 0;
  uint8_t vibrato_type = 0, vibrato_sweep = 0, vibrato_depth = 0, vibrato_rate = 0;
  Sample sample;
};

struct Pattern {
  std::string name;
  int rows = 64;
  std::vector<Cell> cells;  // rows x channels, row-major
};

struct Song {
  std::string title;  // XM song name, 20 characters
  std::string tracker = "xmcompose";
  int channels = 8;
  int speed = 6;
  int tempo = 125;
  int restart = 0;
  std::vector<Instrument> instruments;
  std::vector<Pattern> patterns;
  std::vector<int> orders;  // pattern indices
};

}  // namespace xmc
