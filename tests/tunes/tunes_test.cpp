// The twelve intro tunes in assets/tunes: rebuilt byte for byte from src/, PSID
// headers as the player and the magazine's credits expect, and each tune run on
// our own player: init and play within their instruction budgets, all three
// voices going round together after at least a minute, never silent, and
// leaving headroom after the board's AC coupling (at the ceiling the output clips).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "sid/sid_driver.h"

namespace {

struct TuneName {
  const char* title;
  const char* author;
};

// The credits of issue 37; page 15 and the scroller name the same.
constexpr TuneName tune_names[12] = {
    {"Rime Harbour", "Pixelwren"},  {"Chrome Caterpillar", "Lumenmoth"},
    {"Midnight Allotment", "Ferrule"},   {"Cassette Sunrise", "Pixelwren"},
    {"Bramble Run", "Dustmote"},         {"Orbital Teacup", "Lumenmoth"},
    {"Glasshouse Gallop", "Ferrule"},    {"Velvet Compiler", "Dustmote"},
    {"Lighthouse Loop", "Pixelwren"},    {"Gearwheel Marmalade", "Ferrule"},
    {"Snowglobe Static", "Dustmote"},    {"Borrowed Thunder", "Lumenmoth"},
};

// Where our driver keeps its per-voice loop counters (after the two jumps).
constexpr uint16_t loop_counters = 0x1006;

std::string tune_file(int n) {
  char name[16];
  std::snprintf(name, sizeof name, "tune%02d.sid", n);
  return name;
}

std::vector<uint8_t> read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::filesystem::path tunes_dir() { return std::filesystem::path(MAG_SOURCE_DIR) / "assets" / "tunes"; }

uint16_t be16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] << 8 | b[at + 1]); }

std::string field32(const std::vector<uint8_t>& b, size_t at) {
  std::string s(reinterpret_cast<const char*>(&b[at]), 32);
  return s.substr(0, s.find('\0'));
}

TEST(Tunes, RebuildFromTheScoresGivesTheCommittedFiles) {
#ifndef MAG_HAVE_ACME
  GTEST_SKIP() << "acme is not installed: the committed tunes are not rebuilt (apt-get install acme)";
#else
  const auto out = std::filesystem::path(MAG_BINARY_DIR) / "tunes_rebuild";
  std::filesystem::remove_all(out);
  const std::string command = "sh '" + (tunes_dir() / "build.sh").string() + "' '" + out.string() + "' > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  for (int n = 1; n <= 12; ++n) {
    const auto committed = read_file(tunes_dir() / tune_file(n));
    const auto rebuilt = read_file(out / tune_file(n));
    ASSERT_FALSE(rebuilt.empty()) << tune_file(n);
    EXPECT_TRUE(committed == rebuilt) << tune_file(n) << " differs from its score: run assets/tunes/build.sh";
  }
#endif
}

TEST(Tunes, HeadersAreWhatThePlayerAndTheCreditsExpect) {
  for (int n = 1; n <= 12; ++n) {
    SCOPED_TRACE(tune_file(n));
    const auto b = read_file(tunes_dir() / tune_file(n));
    ASSERT_GT(b.size(), 0x7eu);
    EXPECT_EQ(psid_problem(b.data(), uint32_t(b.size())), nullptr);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "PSID");
    EXPECT_EQ(be16(b, 4), 2);
    EXPECT_EQ(be16(b, 6), 0x7c);
    EXPECT_EQ(be16(b, 8), 0);                       // load address from the data
    EXPECT_EQ(b[0x7c] | b[0x7d] << 8, 0x1000);
    EXPECT_NE(be16(b, 10), 0);
    EXPECT_NE(be16(b, 12), 0);
    EXPECT_EQ(be16(b, 14), 1);
    EXPECT_EQ(be16(b, 16), 1);
    EXPECT_EQ(be16(b, 18) | be16(b, 20), 0);        // speed: the 50 Hz frame
    EXPECT_EQ(field32(b, 0x16), tune_names[n - 1].title);
    EXPECT_EQ(field32(b, 0x36), tune_names[n - 1].author);
    EXPECT_EQ(field32(b, 0x56), "2009 Orvella");
  }
}

TEST(Tunes, EachRunsWithinBudgetLoopsTogetherAfterAMinuteAndStaysAudible) {
  constexpr uint32_t calls = 70 * 50;
  auto state = std::make_unique<SidPlayerState>();
  std::vector<int16_t> chunk(sid_chunk_samples);
  for (int n = 1; n <= 12; ++n) {
    SCOPED_TRACE(tune_file(n));
    const auto b = read_file(tunes_dir() / tune_file(n));
    ASSERT_EQ(sid_prepare_tune(*state, b.data(), uint32_t(b.size()), 0), SidLoadResult::loaded);
    EXPECT_LE(state->init_instructions, 12000u);
    uint32_t play_max = 0;
    int loop_call[3] = {-1, -1, -1};
    int peak = 0;
    double second_energy = 0;
    double quietest_second = 1e30;
    for (uint32_t call = 1; call <= calls; ++call) {
      sid_render_chunk(*state, chunk.data(), sid_chunk_samples);
      ASSERT_TRUE(state->last_call_returned) << "play call " << call;
      play_max = std::max(play_max, state->last_call_instructions);
      for (int v = 0; v < 3; ++v)
        if (loop_call[v] < 0 && state->memory[loop_counters + v] != 0) loop_call[v] = int(call);
      for (int16_t s : chunk) {
        peak = std::max(peak, std::abs(int(s)));
        second_energy += double(s) * s;
      }
      if (call % 50 == 0) {
        quietest_second = std::min(quietest_second, std::sqrt(second_energy / 44100));
        second_energy = 0;
      }
    }
    EXPECT_LE(play_max, 1600u);
    EXPECT_GE(loop_call[0], 3000) << "the tune loops before a minute has passed";
    EXPECT_EQ(loop_call[1], loop_call[0]) << "voice 2 is out of step with voice 1";
    EXPECT_EQ(loop_call[2], loop_call[0]) << "voice 3 is out of step with voice 1";
    EXPECT_LT(peak, 30000) << "too little headroom: the output would clip";
    EXPECT_GT(quietest_second, 300.0) << "a second of near silence";
  }
}

}  // namespace
