// Runs our 6502 self-test program (cpu_selftest.s, assembled beside it) on the
// CPU one cpu_step at a time, and names the check it stopped at.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "sid/cpu6502.h"
#include "sid/sid_driver.h"

namespace {

const std::string dir = std::string(MAG_SOURCE_DIR) + "/tests/sid/";

std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// ld65 label file: "al 00102A .name"
std::map<uint16_t, std::string> read_labels(const std::string& path) {
  std::map<uint16_t, std::string> labels;
  std::ifstream f(path);
  std::string al, address, name;
  while (f >> al >> address >> name) labels[uint16_t(std::stoul(address, nullptr, 16))] = name.substr(1);
  return labels;
}

TEST(CpuSelfTest, EveryCheckPasses) {
  const auto image = read_file(dir + "cpu_selftest.bin");
  const auto labels = read_labels(dir + "cpu_selftest.labels");
  ASSERT_GT(image.size(), 1000u);
  uint16_t success = 0;
  size_t checks = 0;
  for (const auto& [address, name] : labels) {
    if (name == "success") success = address;
    checks += name.rfind("fail_", 0) == 0;
  }
  ASSERT_NE(success, 0);
  EXPECT_GT(checks, 300u);

  auto st = std::make_unique<SidPlayerState>();
  sid_reset(*st, 44100);
  std::copy(image.begin(), image.end(), st->memory + 0x1000);
  st->cpu.pc = 0x1000;
  for (int step = 0; step < 1'000'000; ++step) {
    const uint16_t pc = st->cpu.pc;
    if (pc == success) return;
    cpu_step(*st);
    if (st->cpu.pc == pc) {  // a jump to itself: a failed check
      const auto it = labels.find(pc);
      char where[8];
      std::snprintf(where, sizeof where, "$%04X", pc);
      FAIL() << "self-test stopped at " << where << ": " << (it == labels.end() ? "no named check" : it->second);
    }
  }
  char where[8];
  std::snprintf(where, sizeof where, "$%04X", st->cpu.pc);
  FAIL() << "self-test ran away, pc " << where;
}

}  // namespace
