// build/sidrender end to end: the WAV it writes, --stats, --writes, --mute, and
// its errors: one 'sidrender: ...' line, status 1 for bad input, 2 for bad arguments.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
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
  const int raw = std::system((tool + " " + args + " >" + out + " 2>" + err).c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
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

// Every problem is one line naming the tool.
void expect_one_line(const ToolRun& r, const std::string& words) {
  EXPECT_EQ(r.err.rfind("sidrender: ", 0), 0u) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_NE(r.err.find(words), std::string::npos) << r.err;
}

TEST(Sidrender, BadInputFailsWithStatusOne) {
  const std::string wav = " -o " + temp("x.wav");
  ToolRun r = run(temp("no_such.sid") + wav);
  EXPECT_EQ(r.status, 1);
  expect_one_line(r, "cannot open");

  r = run(write_tune("text.sid", {'h', 'e', 'l', 'l', 'o'}) + wav);
  EXPECT_EQ(r.status, 1);
  expect_one_line(r, "not a PSID file");

  auto cut = make_psid(0x1000, 0x1000, 0x1000, {0x60});
  cut.resize(0x78);
  r = run(write_tune("short.sid", cut) + wav);
  EXPECT_EQ(r.status, 1);
  expect_one_line(r, "no tune data");

  r = run(write_tune("good.sid", make_psid(0x1000, 0x1000, 0x1000, {0x60})) + " -o " + temp("no_folder/x.wav"));
  EXPECT_EQ(r.status, 1);
  expect_one_line(r, "cannot write");
}

TEST(Sidrender, BadArgumentsFailWithStatusTwoAndWriteNothing) {
  const std::string good = write_tune("good.sid", make_psid(0x1000, 0x1000, 0x1000, {0x60}));
  const std::string wav = temp("x.wav");
  const struct {
    std::string args;
    std::string words;
  } cases[] = {
      {good, "-o OUT.wav"},
      {"-o " + wav, "no input file"},
      {good + " " + good + " -o " + wav, "more than one input file"},
      {good + " -o", "-o needs"},
      {good + " -o " + wav + " --seconds -3", "--seconds wants"},
      {good + " -o " + wav + " --seconds 0", "--seconds wants"},
      {good + " -o " + wav + " --seconds 3601", "--seconds wants"},
      {good + " -o " + wav + " --seconds 2x", "--seconds wants"},
      {good + " -o " + wav + " --song", "--song needs"},
      {good + " -o " + wav + " --song -1", "--song wants"},
      {good + " -o " + wav + " --song 256", "--song wants"},
      {good + " -o " + wav + " --song 99", "--song 99 is not in"},   // the tune has one song
      {good + " -o " + wav + " --song 1", "it has 1 song: give 0"},
      {good + " -o " + wav + " --mute 0", "--mute wants"},
      {good + " -o " + wav + " --mute 4", "--mute wants"},
      {good + " -o " + wav + " --mute 1,,2", "--mute wants"},
      {good + " -o " + wav + " --mute", "--mute needs"},
      {good + " -o " + wav + " --writes", "--writes needs"},
      {good + " -o " + wav + " --loud", "unknown option --loud"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    std::remove(wav.c_str());
    const ToolRun r = run(c.args);
    EXPECT_EQ(r.status, 2);
    expect_one_line(r, c.words);
    EXPECT_TRUE(slurp(wav).empty());
  }

  // A tune with several songs takes any of them.
  auto three = make_psid(0x1000, 0x1000, 0x1000, {0x60});
  three[15] = 3;
  const std::string songs = write_tune("three.sid", three);
  EXPECT_EQ(run(songs + " -o " + wav + " --seconds 0.1 --song 2").status, 0);
  const ToolRun r = run(songs + " -o " + wav + " --song 3");
  EXPECT_EQ(r.status, 2);
  expect_one_line(r, "it has 3 songs: give 0 to 2");

  const ToolRun help = run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: sidrender"), std::string::npos);
  EXPECT_TRUE(help.err.empty());
}

TEST(Sidrender, MutedVoicesLeaveTheMix) {
  // init: LDA #$0F; STA $D418; LDA #$F0; STA $D406; STA $D40D; LDA #$10; STA $D401;
  //       STA $D408; LDA #$11; STA $D404; STA $D40B; RTS  (triangles on voices 1 and 2)
  // play: RTS
  const auto tune = make_psid(0x1000, 0x1000, 0x101A,
                              {0xA9, 0x0F, 0x8D, 0x18, 0xD4, 0xA9, 0xF0, 0x8D, 0x06, 0xD4, 0x8D, 0x0D, 0xD4,
                               0xA9, 0x10, 0x8D, 0x01, 0xD4, 0x8D, 0x08, 0xD4, 0xA9, 0x11, 0x8D, 0x04, 0xD4,
                               0x8D, 0x0B, 0xD4, 0x60, 0x60});
  const std::string in = write_tune("two_voices.sid", tune);
  auto render = [&](const std::string& mute) {
    const std::string wav = temp("mute" + mute + ".wav");
    const ToolRun r = run(in + " -o " + wav + " --seconds 0.5" + (mute.empty() ? "" : " --mute " + mute));
    EXPECT_EQ(r.status, 0) << r.err;
    return slurp(wav).substr(44);
  };
  const std::string all = render(""), no_first = render("1"), none = render("1,2,3"), no_third = render("3,3");
  ASSERT_EQ(all.size(), 2u * 22050);
  EXPECT_EQ(none, std::string(all.size(), '\0'));
  EXPECT_NE(no_first, all);
  EXPECT_NE(no_first, none);
  EXPECT_NE(no_third, all);  // an ungated voice 3 still adds the step of its rising envelope
}

}  // namespace
