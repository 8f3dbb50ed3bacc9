// XM layout as FastTracker 2 writes it: 336-byte header, patterns with 9-byte
// headers, 263-byte instrument headers, 40-byte sample headers, delta data.
#include "xm_writer.h"

#include <algorithm>
#include <string>

namespace xmc {
namespace {

struct Out {
  std::vector<uint8_t> bytes;
  void u8(unsigned v) { bytes.push_back(static_cast<uint8_t>(v)); }
  void u16(unsigned v) { u8(v & 0xFF); u8((v >> 8) & 0xFF); }
  void u32(uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); }
  void text(const std::string& s, size_t width) {
    for (size_t i = 0; i < width; ++i) u8(i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
  }
  void zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }
};

void pattern(Out& out, const Pattern& p, int channels) {
  Out data;
  for (int i = 0; i < p.rows * channels; ++i) {
    const Cell& c = p.cells[i];
    uint8_t fields[5] = {c.note, c.instrument, c.volume, c.effect, c.param};
    unsigned mask = 0;
    for (int f = 0; f < 5; ++f)
      if (fields[f]) mask |= 1u << f;
    if (mask == 0x1F) {  // all present: unpacked is one byte shorter
      for (uint8_t f : fields) data.u8(f);
      continue;
    }
    data.u8(0x80 | mask);
    for (int f = 0; f < 5; ++f)
      if (fields[f]) data.u8(fields[f]);
  }
  out.u32(9);
  out.u8(0);
  out.u16(p.rows);
  out.u16(static_cast<unsigned>(data.bytes.size()));
  out.bytes.insert(out.bytes.end(), data.bytes.begin(), data.bytes.end());
}

void envelope(Out& out, const Envelope& e) {
  for (size_t i = 0; i < 12; ++i) {
    out.u16(i < e.points.size() ? e.points[i].tick : 0);
    out.u16(i < e.points.size() ? e.points[i].value : 0);
  }
}

unsigned envelope_type(const Envelope& e) {
  if (e.points.size() < 2) return 0;
  return 1u | (e.sustain >= 0 ? 2u : 0u) | (e.loop_start >= 0 ? 4u : 0u);
}

void instrument(Out& out, const Instrument& in) {
  const Sample& s = in.sample;
  out.u32(263);
  out.text(in.title, 22);
  out.u8(0);
  out.u16(1);
  out.u32(40);
  out.zeros(96);  // every note plays sample 0
  envelope(out, in.volume_envelope);
  envelope(out, in.panning_envelope);
  const Envelope& v = in.volume_envelope;
  const Envelope& p = in.panning_envelope;
  out.u8(static_cast<unsigned>(v.points.size()));
  out.u8(static_cast<unsigned>(p.points.size()));
  out.u8(std::max(v.sustain, 0));
  out.u8(std::max(v.loop_start, 0));
  out.u8(std::max(v.loop_end, 0));
  out.u8(std::max(p.sustain, 0));
  out.u8(std::max(p.loop_start, 0));
  out.u8(std::max(p.loop_end, 0));
  out.u8(envelope_type(v));
  out.u8(envelope_type(p));
  out.u8(in.vibrato_type);
  out.u8(in.vibrato_sweep);
  out.u8(in.vibrato_depth);
  out.u8(in.vibrato_rate);
  out.u16(in.fadeout);
  out.zeros(22);

  const uint32_t width = s.sixteen_bit ? 2 : 1;
  out.u32(static_cast<uint32_t>(s.values.size()) * width);
  out.u32(s.loop_start * width);
  out.u32(s.loop_length * width);
  out.u8(s.volume);
  out.u8(static_cast<uint8_t>(s.finetune));
  out.u8(static_cast<unsigned>(s.loop) | (s.sixteen_bit ? 0x10u : 0u));
  out.u8(s.pan);
  out.u8(static_cast<uint8_t>(s.relative_note));
  out.u8(0);
  out.text(in.title, 22);

  int previous = 0;
  for (int16_t value : s.values) {
    int delta = value - previous;
    previous = value;
    if (s.sixteen_bit)
      out.u16(static_cast<uint16_t>(delta));
    else
      out.u8(static_cast<uint8_t>(delta));
  }
}

}  // namespace

std::vector<uint8_t> write_xm(const Song& song) {
  Out out;
  out.text("Extended Module: ", 17);
  out.text(song.title, 20);
  out.u8(0x1A);
  out.text(song.tracker, 20);
  out.u16(0x0104);
  out.u32(276);
  out.u16(static_cast<unsigned>(song.orders.size()));
  out.u16(song.restart);
  out.u16(song.channels);
  out.u16(static_cast<unsigned>(song.patterns.size()));
  out.u16(static_cast<unsigned>(song.instruments.size()));
  out.u16(1);  // linear frequency table
  out.u16(song.speed);
  out.u16(song.tempo);
  for (size_t i = 0; i < 256; ++i) out.u8(i < song.orders.size() ? song.orders[i] : 0);
  for (const Pattern& p : song.patterns) pattern(out, p, song.channels);
  for (const Instrument& in : song.instruments) instrument(out, in);
  return out.bytes;
}

}  // namespace xmc
