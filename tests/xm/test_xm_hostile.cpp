// Any bytes: a module with effects, envelopes and all loop kinds, with single
// bytes overwritten all through the file, then cut short at many points; every
// variant loads or is refused, and a loaded one renders and answers cell
// queries. Run under MAG_SANITIZE for the full value.
#include <gtest/gtest.h>

#include "tests/xm/bench_songs.h"
#include "tests/xm/xm_test_support.h"

namespace {

void load_and_play(const std::vector<uint8_t>& bytes) {
  ModulePtr m = load_bytes(bytes);
  if (!m) return;
  RendererPtr r = start_renderer(*m);
  ASSERT_TRUE(r);
  xm_fill_block(*r);
  for (int i = 0; i < 200; ++i) m->tick_function(*m);
  xm_fill_block(*r);
  for (int c = -1; c <= m->channel_count; ++c) xm_cell_value(*m, m->order, m->row, c);
  ASSERT_LT(uint32_t(m->row), xm_pattern_at_order(*m, m->order).row_count);
  ASSERT_LT(m->order, m->song_length);
}

}  // namespace

TEST(XmHostile, OverwrittenBytesAnywhere) {
  xmw::Song song = xmw::bench_song(3);
  song.patterns.resize(1);
  song.orders = {0, 0};
  for (auto& ins : song.instruments) ins.samples[0].values.resize(300);
  std::vector<uint8_t> bytes = xmw::write(song);
  for (size_t at = 0; at < bytes.size(); at += at < 400 ? 1 : 13)
    for (uint8_t value : {uint8_t(0x00), uint8_t(0xFF), uint8_t(0x7F), uint8_t(0x21)}) {
      std::vector<uint8_t> variant = bytes;
      variant[at] = value;
      load_and_play(variant);
      if (HasFatalFailure()) FAIL() << "byte " << at << " = " << int(value);
    }
}

TEST(XmHostile, CutShortAnywhere) {
  std::vector<uint8_t> bytes = xmw::write(xmw::bench_song(4));
  for (size_t size = 0; size < bytes.size(); size += size < 2000 ? 3 : 211) {
    load_and_play(std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(size)));
    if (HasFatalFailure()) FAIL() << "cut at " << size;
  }
}
