// xmstandin: writes the stand-in background module, a small original tune of
// our own (4 channels, synthesised instruments), used wherever a real module of
// the issue is not there yet.   xmstandin OUT.xm
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/xm/xm_writer.h"
#include "tools/common/tool_args.h"

using namespace xmw;

namespace {

Sample synth(int length, int loop_start, double (*wave)(double), double cycles, double level) {
  Sample s;
  s.sixteen_bit = true;
  for (int i = 0; i < length; ++i) {
    double phase = std::fmod(double(i) * cycles / length, 1.0);
    s.values.push_back(int16_t(std::lround(wave(phase) * level * 32767)));
  }
  if (loop_start >= 0) {
    s.loop_type = 1;
    s.loop_start = uint32_t(loop_start);
    s.loop_length = uint32_t(length - loop_start);
  }
  return s;
}

double saw(double p) { return 2 * p - 1; }
double square(double p) { return p < 0.5 ? 0.8 : -0.8; }
double triangle(double p) { return p < 0.5 ? 4 * p - 1 : 3 - 4 * p; }

Sample noise_burst() {
  Sample s;
  uint32_t seed = 0x1234567u;
  for (int i = 0; i < 3000; ++i) {
    seed = seed * 1664525u + 1013904223u;
    double decay = std::exp(-i / 600.0);
    s.values.push_back(int16_t(int32_t(seed >> 16) % 20000 * decay - 10000 * decay));
  }
  s.sixteen_bit = true;
  return s;
}

Instrument with_envelope(Sample s, std::vector<std::pair<uint16_t, uint16_t>> points, int sustain, uint16_t fadeout) {
  Instrument ins = single_sample_instrument(std::move(s));
  ins.volume.points = std::move(points);
  ins.volume.type = sustain >= 0 ? 3 : 1;
  ins.volume.sustain = uint8_t(sustain < 0 ? 0 : sustain);
  ins.fadeout = fadeout;
  return ins;
}

}  // namespace

int main(int argc, char** argv) {
  const char* const program = "xmstandin";
  if (args_want_help(argc, argv)) {
    std::fputs("usage: xmstandin OUT.xm\nWrites the stand-in background module the XM tests use.\n", stdout);
    return exit_ok;
  }
  ToolArgs args{program, argc, argv};
  std::vector<std::string> paths;
  while (args_next(args)) {
    if (args_is_option(args)) return args_unknown(args);
    paths.push_back(args.current);
  }
  if (paths.size() != 1) return tool_usage_error(program, "expected OUT.xm");
  const std::string& out_path = paths[0];
  Song song;
  song.title = "Orvella stand-in";
  song.channels = 4;
  song.speed = 6;
  song.bpm = 118;
  song.orders = {0, 1, 0, 2};
  // One period of each wave spans 64 values: C-4 (8363 Hz) sounds an octave
  // below the sample rate over 64, hence the relative notes.
  Sample bass = synth(64, 0, saw, 1, 0.7);
  bass.relative_note = 12;
  Sample lead = synth(64, 0, square, 1, 0.5);
  lead.relative_note = 12;
  Sample pad = synth(64, 0, triangle, 1, 0.6);
  pad.relative_note = 12;
  song.instruments.push_back(with_envelope(bass, {{0, 64}, {6, 40}, {40, 20}}, 1, 800));
  Instrument lead_ins = with_envelope(lead, {{0, 0}, {3, 64}, {20, 48}}, 2, 600);
  lead_ins.vibrato_type = 0;
  lead_ins.vibrato_depth = 6;
  lead_ins.vibrato_rate = 20;
  lead_ins.vibrato_sweep = 30;
  song.instruments.push_back(lead_ins);
  song.instruments.push_back(with_envelope(pad, {{0, 0}, {24, 40}, {60, 32}}, 2, 300));
  song.instruments.push_back(single_sample_instrument(noise_burst()));

  // A - F - C - G, two bars a chord.
  const char* roots[4] = {"A-2", "F-2", "C-3", "G-2"};
  const int third[4] = {3, 4, 4, 4};
  const char* tunes[3][8] = {{"E-5", "C-5", "A-4", "C-5", "F-5", "E-5", "D-5", "B-4"},
                             {"A-5", "G-5", "E-5", "G-5", "A-5", "C-6", "B-5", "G-5"},
                             {"E-5", "D-5", "C-5", "B-4", "A-4", "G-4", "A-4", "E-4"}};
  for (int p = 0; p < 3; ++p) {
    Pattern pattern;
    pattern.rows = 64;
    for (int bar = 0; bar < 4; ++bar) {
      uint8_t root = note(roots[bar]);
      for (int r = 0; r < 16; ++r) {
        int row = bar * 16 + r;
        if (r % 4 == 0) at(pattern, 4, row, 0) = {uint8_t(root + (r % 8 ? 12 : 0)), 1, 0, 0, 0};
        if (r % 4 == 2) at(pattern, 4, row, 0) = {uint8_t(root + 12), 1, 0x30, 0, 0};
        if (r == 0) at(pattern, 4, row, 2) = {uint8_t(root + 24 + third[bar]), 3, 0, 0x04, 0x23};
        if (r == 14) at(pattern, 4, row, 2) = {97, 0, 0, 0, 0};
        if (r % 8 == 4) at(pattern, 4, row, 3) = {note("C-5"), 4, 0x38, 0, 0};
        if (r % 8 == 0 && p != 1) at(pattern, 4, row, 3) = {note("G-3"), 4, 0x40, 0, 0};
      }
      at(pattern, 4, bar * 16, 1) = {note(tunes[p][bar * 2]), 2, 0, 0, 0};
      at(pattern, 4, bar * 16 + 8, 1) = {note(tunes[p][bar * 2 + 1]), 2, 0, uint8_t(p == 1 ? 0x03 : 0x00), uint8_t(p == 1 ? 0x10 : 0x00)};
      at(pattern, 4, bar * 16 + 6, 1) = {0, 0, 0, 0x0A, 0x02};
    }
    song.patterns.push_back(pattern);
  }
  std::vector<uint8_t> bytes = write(song);
  FILE* f = std::fopen(out_path.c_str(), "wb");
  bool written = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (f) written = std::fclose(f) == 0 && written;
  if (!written) return tool_error(program, "cannot write " + out_path);
  return exit_ok;
}
