// A few golden frames: magcapture shots of the magazine screen, checked by the
// hash of their decoded pixels (the PNG bytes depend on the zlib and libpng at
// hand). Regenerate them deliberately after a wanted change of the picture:
//   MAG_UPDATE_GOLDEN=1 build/tests/magazine_tests --gtest_filter=Golden.*
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/support/capture_run.h"
#include "tests/support/shot_pixels.h"

namespace {

std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(Golden, MagazineFrames) {
  const std::string source = std::string(MAG_SOURCE_DIR) + "/tests/magazine";
  CaptureRun run = run_capture(read_all(source + "/golden_script.txt"), "magazine_golden");
  ASSERT_EQ(run.status, 3) << "the script should run out before the program ends: " << run.error_output;
  std::map<std::string, uint64_t> now;
  for (const char* name : {"grunge_editorial.png", "rules_wipe.png", "carbon_rules.png", "carbon_yearly_overview.png"}) {
    std::vector<uint32_t> pixels = read_shot_pixels(run.out_directory + "/" + name);
    ASSERT_EQ(pixels.size(), 800u * 600u) << name;
    now[name] = pixel_hash(pixels);
  }
  const std::string golden = source + "/golden_frames.txt";
  if (std::getenv("MAG_UPDATE_GOLDEN")) {
    std::ofstream file(golden);
    file << "# FNV-1a 64 of the RGB pixels of magcapture shots of golden_script.txt; see golden_test.cpp\n";
    for (auto& [name, hash] : now) file << name << " " << std::hex << hash << "\n";
    std::printf("golden frames rewritten: %s (pictures in %s)\n", golden.c_str(), run.out_directory.c_str());
    return;
  }
  std::ifstream file(golden);
  ASSERT_TRUE(file) << "no " << golden << ": run with MAG_UPDATE_GOLDEN=1 once";
  std::string line;
  int checked = 0;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string name;
    uint64_t hash = 0;
    fields >> name >> std::hex >> hash;
    ASSERT_TRUE(now.count(name)) << name;
    EXPECT_EQ(now[name], hash) << name << " changed: look at " << run.out_directory << "/" << name
                               << " and regenerate if it is right";
    ++checked;
  }
  EXPECT_EQ(checked, 4);
}

}  // namespace
