// Guards the renderer's output bit for bit: whole renders of a few modules are
// hashed and compared with tests/xm/render_hashes.txt. Speed work must leave
// every sample as it was. MAG_UPDATE_GOLDEN=1 rewrites the file (only when the
// sound is meant to change; the per-tick references of test_xm_tick_trace.cpp
// then change with them and tell which channel moved).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/xm/bench_songs.h"
#include "tests/xm/xm_test_support.h"

namespace {

const char* golden_path = MAG_SOURCE_DIR "/tests/xm/render_hashes.txt";

uint64_t render_hash(const std::vector<uint8_t>& bytes, int seconds) {
  ModulePtr m = load_bytes(bytes);
  if (!m) return 0;
  RendererPtr r = start_renderer(*m);
  uint64_t hash = 0xcbf29ce484222325ull;
  int blocks = seconds * 50;
  for (int b = 0; b < blocks; ++b) {
    int32_t index = r->fill_index;
    xm_fill_block(*r);
    const int16_t* data = xm_ring_block(*r, index);
    for (int i = 0; i < xm_block_frames * 2; ++i) {
      hash ^= uint16_t(data[i]);
      hash *= 0x100000001b3ull;
    }
  }
  return hash;
}

std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::map<std::string, uint64_t> current_hashes() {
  std::map<std::string, uint64_t> out;
  out["bench8"] = render_hash(xmw::write(xmw::bench_song(8)), 30);
  out["bench32"] = render_hash(xmw::write(xmw::bench_song(32)), 30);
  xmw::Song amiga = xmw::bench_song(16);
  amiga.flags = 0;
  out["bench16_amiga"] = render_hash(xmw::write(amiga), 30);
  out["standin"] = render_hash(read_file(MAG_SOURCE_DIR "/assets/modules/standin.xm"), 30);
  return out;
}

}  // namespace

TEST(XmRenderHash, OutputIsUnchanged) {
  std::map<std::string, uint64_t> now = current_hashes();
  if (std::getenv("MAG_UPDATE_GOLDEN")) {
    std::ofstream out(golden_path);
    for (auto& [name, hash] : now) out << name << " " << std::hex << hash << "\n";
    GTEST_SKIP() << "rewrote " << golden_path;
  }
  std::ifstream in(golden_path);
  ASSERT_TRUE(in) << "missing " << golden_path;
  std::map<std::string, uint64_t> golden;
  std::string name;
  uint64_t hash;
  while (in >> name >> std::hex >> hash) golden[name] = hash;
  ASSERT_EQ(golden.size(), now.size());
  for (auto& [n, h] : now) EXPECT_EQ(h, golden[n]) << n;
}
