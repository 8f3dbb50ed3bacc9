// The chip's own output, pinned: the first 30 s of every intro tune and of the
// stand-in, as the chip mixes them before anything the C64 board does to the
// sound, hashed and compared with chip_output_hashes.txt. A mismatch means the
// 6502, the driver or the synthesis changed. Regenerate only when that is meant:
//   MAG_UPDATE_GOLDEN=1 build/tests/sid_tests --gtest_filter=ChipOutput.*
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sid/sid_driver.h"

namespace {

const char* golden_path = MAG_SOURCE_DIR "/tests/sid/chip_output_hashes.txt";
constexpr uint32_t pinned_chunks = 30 * 50;

std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One play call and one chunk of the chip's mix, saturated to 16 bits as the
// chip's output was played before the board's coupling came in.
void render_chip_chunk(SidPlayerState& st, int16_t* out) {
  cpu_call(st, st.play_address, 0, sid_play_instruction_limit);
  int32_t mix[sid_chunk_samples];
  synth_render_mix(st.chip, st.memory, mix, sid_chunk_samples);
  for (uint32_t i = 0; i < sid_chunk_samples; ++i) out[i] = int16_t(std::clamp(mix[i], -32768, 32767));
}

uint64_t chip_output_hash(const std::vector<uint8_t>& tune) {
  auto st = std::make_unique<SidPlayerState>();
  sid_prepare_tune(*st, tune.data(), uint32_t(tune.size()), 0);
  int16_t chunk[sid_chunk_samples];
  uint64_t hash = 0xcbf29ce484222325ull;
  for (uint32_t c = 0; c < pinned_chunks; ++c) {
    render_chip_chunk(*st, chunk);
    for (int16_t s : chunk) {
      hash ^= uint16_t(s);
      hash *= 0x100000001b3ull;
    }
  }
  return hash;
}

std::map<std::string, uint64_t> current_hashes() {
  std::map<std::string, uint64_t> now;
  const std::string dir = MAG_SOURCE_DIR "/assets/tunes/";
  now["standin"] = chip_output_hash(read_file(dir + "standin.sid"));
  for (int n = 1; n <= 12; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "tune%02d", n);
    now[name] = chip_output_hash(read_file(dir + name + ".sid"));
  }
  return now;
}

TEST(ChipOutput, TheIntroTunesMixAsPinned) {
  const std::map<std::string, uint64_t> now = current_hashes();
  if (std::getenv("MAG_UPDATE_GOLDEN")) {
    std::ofstream out(golden_path);
    out << "# FNV-1a 64 of the chip's mix (before the output stage), first 30 s; see chip_output_test.cpp\n";
    for (const auto& [name, hash] : now) out << name << " " << std::hex << hash << "\n";
    GTEST_SKIP() << "rewrote " << golden_path;
  }
  std::ifstream in(golden_path);
  ASSERT_TRUE(in) << "missing " << golden_path;
  std::map<std::string, uint64_t> golden;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    char name[32] = {};
    unsigned long long hash = 0;
    if (std::sscanf(line.c_str(), "%31s %llx", name, &hash) == 2) golden[name] = hash;
  }
  ASSERT_EQ(golden.size(), now.size());
  for (const auto& [name, hash] : now) EXPECT_EQ(hash, golden[name]) << name << ": the chip's own output changed";
}

}  // namespace
