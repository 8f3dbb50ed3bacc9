// The fuzzer's kept corpus (corpus/: small inputs that between them reach the
// loader's and the engine's branches) and every input it once found a fault
// with (regressions/, each named after the fault), replayed through the same
// calls the fuzz target makes. Run under MAG_SANITIZE for the full value.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/fuzz_xm/fuzz_one.h"

namespace {

std::vector<std::filesystem::path> inputs(const char* folder) {
  std::vector<std::filesystem::path> files;
  const std::filesystem::path dir = std::filesystem::path(MAG_SOURCE_DIR) / "tests/fuzz_xm" / folder;
  if (!std::filesystem::is_directory(dir)) return files;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    if (e.is_regular_file() && e.path().filename() != "README") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

void replay(const std::vector<std::filesystem::path>& files) {
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    std::ifstream f(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    xm_fuzz_one(bytes.data(), bytes.size());
  }
}

}  // namespace

TEST(FuzzXm, KeptCorpusPlaysSafely) {
  const auto files = inputs("corpus");
  ASSERT_GE(files.size(), 20u) << "the kept corpus is missing";
  replay(files);
}

TEST(FuzzXm, RegressionsPlaySafely) { replay(inputs("regressions")); }
