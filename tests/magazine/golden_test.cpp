// A few golden frames: magcapture shots of the magazine screen, checked by hash.
// Regenerate them deliberately after a wanted change of the picture:
//   MAG_UPDATE_GOLDEN=1 build/tests/magazine_tests --gtest_filter=Golden.*
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;

uint64_t fnv1a(const std::string& bytes) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  return h;
}

std::string read_all(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(Golden, MagazineFrames) {
  fs::path source = fs::path(MAG_SOURCE_DIR) / "tests/magazine";
  fs::path out = fs::temp_directory_path() / "magazine_golden";
  fs::remove_all(out);
  fs::create_directories(out);
  std::string command = std::string(MAG_BINARY_DIR) + "/magcapture --script " + (source / "golden_script.txt").string() +
                        " --out " + out.string() + " > /dev/null 2>&1";
  int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 3) << "the script should run out before the program ends";
  std::map<std::string, uint64_t> now;
  for (const char* name : {"grunge_editorial.png", "rules_wipe.png", "carbon_rules.png", "carbon_yearly_overview.png"}) {
    ASSERT_TRUE(fs::exists(out / name)) << name;
    now[name] = fnv1a(read_all(out / name));
  }
  fs::path golden = source / "golden_frames.txt";
  if (std::getenv("MAG_UPDATE_GOLDEN")) {
    std::ofstream file(golden);
    file << "# FNV-1a 64 of magcapture shots of golden_script.txt; see golden_test.cpp\n";
    for (auto& [name, hash] : now) file << name << " " << std::hex << hash << "\n";
    std::printf("golden frames rewritten: %s (pictures in %s)\n", golden.string().c_str(), out.string().c_str());
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
    EXPECT_EQ(now[name], hash) << name << " changed: look at " << (out / name) << " and regenerate if it is right";
    ++checked;
  }
  EXPECT_EQ(checked, 4);
}

}  // namespace
