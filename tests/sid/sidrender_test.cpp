// build/sidrender end to end: the WAV it writes, --stats, --writes, and its errors.
#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/sid/psid_builder.h"

namespace {

const std::string tool = std::string(MAG_BINARY_DIR) + "/sidrender";
// Per test: ctest runs the tests of this file in parallel processes.
std::string temp(const std::string& name) {
  return ::testing::TempDir() + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + name;
}

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

std::string slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

ToolRun run(const std::string& args) {
  const std::string out = temp("stdout.txt"), err = temp("stderr.txt");
  const int status = std::system((tool + " " + args + " >" + out + " 2>" + err).c_str());
  return {status, slurp(out), slurp(err)};
}

std::string write_tune(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = temp(name);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path;
}

uint32_t le32(const std::string& s, size_t at) {
  return uint8_t(s[at]) | uint8_t(s[at + 1]) << 8 | uint8_t(s[at + 2]) << 16 | uint32_t(uint8_t(s[at + 3])) << 24;
}

TEST(Sidrender, WavStatsAndWriteLog) {
  // init: LDA #$0F; STA $D418; RTS
  // play: INC $20; LDA $20; STA $D400; STA $D421 (a mirror of register 1); RTS
  const auto tune = make_psid(0x1000, 0x1000, 0x1006,
                              {0xA9, 0x0F, 0x8D, 0x18, 0xD4, 0x60, 0xE6, 0x20, 0xA5, 0x20, 0x8D, 0x00, 0xD4,
                               0x8D, 0x21, 0xD4, 0x60});
  const std::string in = write_tune("counter.sid", tune);
  const std::string wav = temp("counter.wav"), log = temp("counter.writes");
  const ToolRun r = run(in + " -o " + wav + " --seconds 1.5 --stats --writes " + log);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "{\"load_address\":4096,\"init_address\":4096,\"play_address\":4102,\"init_instructions\":3,"
            "\"play_instructions_max\":5,\"play_calls\":75,\"sid_writes\":151}\n");

  const std::string w = slurp(wav);
  ASSERT_EQ(w.size(), 44u + 2 * 66150);
  EXPECT_EQ(w.substr(0, 4), "RIFF");
  EXPECT_EQ(le32(w, 24), 44100u);
  EXPECT_EQ(le32(w, 40), 2u * 66150);

  const std::string l = slurp(log);
  EXPECT_EQ(l.substr(0, 32), "0: 18=0F\n1: 00=01 01=01\n2: 00=02");
  EXPECT_NE(l.find("\n75: 00=4B 01=4B\n"), std::string::npos);
  EXPECT_EQ(std::count(l.begin(), l.end(), '\n'), 76);
}

TEST(Sidrender, ClearErrorsAndNonZeroExit) {
  ToolRun r = run(temp("no_such.sid -o ") + temp("x.wav"));
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("sidrender: cannot open"), std::string::npos) << r.err;

  r = run(write_tune("text.sid", {'h', 'e', 'l', 'l', 'o'}) + " -o " + temp("x.wav"));
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("not a PSID file"), std::string::npos) << r.err;

  auto cut = make_psid(0x1000, 0x1000, 0x1000, {0x60});
  cut.resize(0x78);
  r = run(write_tune("short.sid", cut) + " -o " + temp("x.wav"));
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("no tune data"), std::string::npos) << r.err;

  const std::string good = write_tune("good.sid", make_psid(0x1000, 0x1000, 0x1000, {0x60}));
  r = run(good);
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("-o OUT.wav"), std::string::npos) << r.err;
  r = run(good + " -o " + temp("x.wav --seconds -3"));
  EXPECT_NE(r.status, 0);
  r = run("--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("usage: sidrender"), std::string::npos);
}

}  // namespace
