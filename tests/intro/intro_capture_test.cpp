// The intro as magcapture shows it, with a fixed seed: what a frame holds, the
// flashes around it, and one golden frame.
//   MAG_UPDATE_GOLDEN=1 build/tests/intro_tests --gtest_filter=IntroCapture.*
// rewrites tests/intro/golden_intro.txt after a wanted change of the picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/support/capture_run.h"
#include "tests/support/shot_pixels.h"

namespace {

class IntroCapture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    run = new CaptureRun(run_capture("wait 11\nshot intro_11s.png\nwait 1\nkey escape\nwait 3.2\n", "intro_golden", "--seed 37"));
    shot = new std::vector<uint32_t>(read_shot_pixels(run->out_directory + "/intro_11s.png"));
  }
  static void TearDownTestSuite() {
    delete run;
    delete shot;
  }
  static uint32_t at(int x, int y) { return (*shot)[size_t(y) * 800 + x]; }
  static CaptureRun* run;
  static std::vector<uint32_t>* shot;
};
CaptureRun* IntroCapture::run = nullptr;
std::vector<uint32_t>* IntroCapture::shot = nullptr;

TEST_F(IntroCapture, NoiseFlashesFrameTheIntro) {
  ASSERT_EQ(run->status, 3) << run->error_output;
  EXPECT_EQ(run->screen_sequence(), (std::vector<std::string>{"release", "flash", "intro", "flash", "magazine"}));
  // Three flashes of half a second before, six after.
  int before = 0, after = 0;
  bool intro_seen = false;
  for (const auto& frame : run->frames) {
    if (frame.at("screen") == "intro") intro_seen = true;
    if (frame.at("screen") == "flash") (intro_seen ? after : before) += 1;
  }
  EXPECT_NEAR(before, 3 * 0.5 * 56.6, 6);   // a frame lasts 1/60 s plus the 1 ms sleep
  EXPECT_NEAR(after, 6 * 0.5 * 56.6, 10);
}

TEST_F(IntroCapture, AFrameShowsBarsStarsCreditsAndTheMirroredScroller) {
  ASSERT_EQ(shot->size(), 800u * 600u);
  std::set<uint32_t> colours(shot->begin(), shot->end());
  for (uint32_t star : {0x222222u, 0x444444u, 0x999999u, 0x111111u}) EXPECT_TRUE(colours.count(star)) << std::hex << star;
  int pure_blue = 0;
  for (uint32_t p : *shot) pure_blue += p > 0 && p < 256;
  EXPECT_GT(pure_blue, 800 * 32 * 3);   // several bars' worth
  // The credit lines' white edges sit on the rows of the nine lines only.
  bool edge_on_credit_rows = false;
  for (int y = 92; y <= 388; ++y)
    for (int x = 0; x < 800; ++x) edge_on_credit_rows |= at(x, y) == 0xFFFFFF;
  EXPECT_TRUE(edge_on_credit_rows);
  // The scroller's mirror image lies below row 514 and is darker than its face.
  int reflection = 0;
  for (int y = 515; y < 598; ++y)
    for (int x = 1; x < 799; ++x) {
      uint32_t p = at(x, y);
      reflection += (p >> 16) > 0 && (p >> 16) <= 150 && ((p >> 8) & 0xFF) > 0 && (p & 0xFF) > 0 && p != 0x444444 &&
                    p != 0x222222 && p != 0x999999 && p != 0x111111;
    }
  EXPECT_GT(reflection, 20);   // wave B swings mostly below the screen: little of it shows
}

TEST_F(IntroCapture, TheFrameMatchesItsGoldenHash) {
  uint64_t hash = pixel_hash(*shot);
  std::string golden = std::string(MAG_SOURCE_DIR) + "/tests/intro/golden_intro.txt";
  if (std::getenv("MAG_UPDATE_GOLDEN")) {
    std::ofstream(golden) << "# FNV-1a 64 of the RGB pixels of intro_11s.png (seed 37); see intro_capture_test.cpp\n"
                          << std::hex << hash << "\n";
    return;
  }
  std::ifstream file(golden);
  ASSERT_TRUE(file) << "no " << golden << ": run with MAG_UPDATE_GOLDEN=1 once";
  std::string line;
  std::getline(file, line);
  uint64_t expected = 0;
  file >> std::hex >> expected;
  EXPECT_EQ(hash, expected) << "the intro frame changed: look at " << run->out_directory << "/intro_11s.png";
}

}  // namespace
