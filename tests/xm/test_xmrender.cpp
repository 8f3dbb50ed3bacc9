// build/xmrender end to end: its arguments, muted and solo channels, and the
// render that stops where the song comes back to a position it played.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/tools/run_tool.h"
#include "tests/xm/xm_test_support.h"

using namespace xmw;

namespace {

// Per test: ctest runs the tests of this file in parallel processes.
std::string temp(const std::string& name) {
  return ::testing::TempDir() + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + name;
}

std::string slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

ToolRun run(const std::vector<std::string>& arguments) { return run_tool("xmrender", arguments); }

std::string save(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = temp(name);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path;
}

// The interleaved samples of a WAV that xmrender wrote (44-byte header).
std::vector<int16_t> wav_samples(const std::string& path) {
  std::string bytes = slurp(path);
  std::vector<int16_t> out;
  for (size_t i = 44; i + 1 < bytes.size(); i += 2) out.push_back(int16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8));
  return out;
}

// Channel 1 plays on the left only, channel 2 on the right only.
Song two_sides() {
  Song song;
  song.channels = 2;
  Pattern p;
  p.rows = 16;
  for (int r = 0; r < 16; r += 2) {
    at(p, 2, r, 0) = {uint8_t(note("C-4") + r), 1, 0, 0, 0};
    at(p, 2, r + 1, 1) = {uint8_t(note("E-4") + r), 2, 0, 0, 0};
  }
  song.patterns.push_back(p);
  Sample left = square_sample(24), right = square_sample(40);
  left.panning = 0;
  right.panning = 255;
  song.instruments = {single_sample_instrument(left), single_sample_instrument(right)};
  return song;
}

int64_t sum_of(const std::vector<int16_t>& samples, int side) {
  int64_t sum = 0;
  for (size_t i = size_t(side); i < samples.size(); i += 2) sum += std::abs(samples[i]);
  return sum;
}

}  // namespace

TEST(Xmrender, BadArgumentsGiveOneLineAndStatusTwo) {
  const std::string module = save("two.xm", write(two_sides()));
  const std::string out = temp("x.wav");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"--frobnicate", module}, {module, "--seconds"}, {module, "-o", out, "--seconds", "abc"},
           {module, "-o", out, "--seconds", "0"}, {module, "-o", out, "--mute", "0"},
           {module, "-o", out, "--solo", "1,x"}, {module, "-o", out, "--solo", "33"}, {module, "-o"},
           {module, "-o", out, "--mute", "1", "--solo", "2"}, {module, module, "-o", out},
           {module, "--timeline", temp("t.txt")}, {module, "--until-end"}, {module, "-o", out, "--solo", "3"}}) {
    SCOPED_TRACE(testing::PrintToString(args));
    ToolRun r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("xmrender: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  ToolRun missing = run({temp("no_such.xm"), "-o", out});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err.rfind("xmrender: cannot open", 0), 0u) << missing.err;
  ToolRun junk = run({save("junk.xm", std::vector<uint8_t>(200, 'x')), "-o", out});
  EXPECT_EQ(junk.status, 1);
  EXPECT_EQ(run({"--help"}).status, 0);
}

TEST(Xmrender, SoloAndMuteLeaveOnlyTheChannelsAsked) {
  const std::string module = save("two.xm", write(two_sides()));
  const std::string all = temp("all.wav"), solo = temp("solo.wav"), mute = temp("mute.wav");
  ASSERT_EQ(run({module, "-o", all, "--seconds", "2"}).status, 0);
  ASSERT_EQ(run({module, "-o", solo, "--seconds", "2", "--solo", "1"}).status, 0);
  ASSERT_EQ(run({module, "-o", mute, "--seconds", "2", "--mute", "1"}).status, 0);
  std::vector<int16_t> a = wav_samples(all), s = wav_samples(solo), m = wav_samples(mute);
  ASSERT_EQ(a.size(), 2u * 88200);
  ASSERT_EQ(s.size(), a.size());
  ASSERT_EQ(m.size(), a.size());
  EXPECT_GT(sum_of(a, 0), 0);
  EXPECT_GT(sum_of(a, 1), 0);
  EXPECT_EQ(sum_of(s, 1), 0) << "--solo 1: channel 2 is silent";
  EXPECT_EQ(sum_of(m, 0), 0) << "--mute 1: channel 1 is silent";
  for (size_t i = 0; i < a.size(); i += 2) {
    ASSERT_EQ(s[i], a[i]) << "channel 1 as it plays with the others, frame " << i / 2;
    ASSERT_EQ(m[i + 1], a[i + 1]) << "channel 2 as it plays with the others, frame " << i / 2;
  }
}

TEST(Xmrender, UntilEndStopsWhereTheSongRepeats) {
  // Positions 0 1 2 3 play patterns 0 1 0 2 (16, 16, 16 and 4 rows); the song
  // then wraps to its restart position 1, which it has played: the end.
  Song song = two_sides();
  song.patterns.push_back(song.patterns[0]);
  Pattern tail;
  tail.rows = 4;
  song.patterns.push_back(tail);
  song.orders = {0, 1, 0, 2};
  song.restart = 1;
  const size_t frames_per_row = 6 * 882;
  const std::string module = save("wrap.xm", write(song));
  const std::string wrap = temp("wrap.wav"), plain = temp("plain.wav");
  ASSERT_EQ(run({module, "-o", wrap, "--until-end"}).status, 0);
  std::vector<int16_t> w = wav_samples(wrap);
  EXPECT_EQ(w.size() / 2, (16 + 16 + 16 + 4) * frames_per_row) << "pattern 0 again at position 2 is no end";
  ASSERT_EQ(run({module, "-o", plain, "--seconds", "20"}).status, 0);
  std::vector<int16_t> p = wav_samples(plain);
  const size_t fade = 2 * 88200;
  ASSERT_GT(w.size(), fade);
  EXPECT_TRUE(std::equal(w.begin(), w.end() - long(fade), p.begin())) << "as rendered up to the last 2 s";
  EXPECT_EQ(w[w.size() - 2], 0) << "faded out";
  EXPECT_LT(std::abs(w[w.size() - 2 * 1000]), 1000) << "nearly silent 1000 frames before the end";

  // A jump back (B00 on row 1 of the last pattern) ends the song there too.
  at(song.patterns[2], 2, 1, 1) = {0, 0, 0, 0x0B, 0x00};
  const std::string jump = temp("jump.wav");
  ASSERT_EQ(run({save("jump.xm", write(song)), "-o", jump, "--until-end"}).status, 0);
  EXPECT_EQ(wav_samples(jump).size() / 2, (16 + 16 + 16 + 2) * frames_per_row);
}
