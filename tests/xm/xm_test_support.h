#pragma once
// Shared pieces of the XM tests: load a written song, put it on a renderer and
// step it tick by tick or block by block.
#include <memory>
#include <vector>

#include "tests/xm/xm_writer.h"
#include "xm/xm_mixer.h"
#include "xm/xm_player.h"
#include "xm/xm_replay.h"

struct ModuleDeleter {
  void operator()(XmModule* m) const { xm_release(m); }
};
using ModulePtr = std::unique_ptr<XmModule, ModuleDeleter>;

inline ModulePtr load_bytes(const std::vector<uint8_t>& bytes) {
  return ModulePtr(xm_load_from_memory(bytes.data(), bytes.size()));
}
inline ModulePtr load_song(const xmw::Song& song) { return load_bytes(xmw::write(song)); }

struct RendererDeleter {
  void operator()(XmRenderer* r) const {
    xm_renderer_release(*r);
    delete r;
  }
};
using RendererPtr = std::unique_ptr<XmRenderer, RendererDeleter>;

inline RendererPtr start_renderer(XmModule& module) {
  RendererPtr r(new XmRenderer());
  if (!xm_renderer_start(*r, module)) return nullptr;
  return r;
}

// A looping square wave of `period` values, 8-bit.
inline xmw::Sample square_sample(int period = 32, int16_t level = 0x4000, int length = 256) {
  xmw::Sample s;
  for (int i = 0; i < length; ++i) s.values.push_back(i % period < period / 2 ? level : int16_t(-level));
  s.loop_type = 1;
  s.loop_start = 0;
  s.loop_length = uint32_t(length);
  return s;
}

// One-channel song with one instrument whose sample is `sample`; pattern 0 has
// `rows` rows and the cells given.
inline xmw::Song one_channel_song(xmw::Sample sample, int rows = 64) {
  xmw::Song song;
  song.channels = 1;
  xmw::Pattern p;
  p.rows = uint16_t(rows);
  song.patterns.push_back(p);
  song.instruments.push_back(xmw::single_sample_instrument(std::move(sample)));
  return song;
}
