// Every input the fuzzer ever found a fault with, replayed (regressions/*; a
// file's name says what it once broke), the hand-made seeds, and the minimised
// corpus of inputs that reach new code (corpus/, which the CI fuzz step starts
// from as well).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/fuzz_sid/fuzz_one.h"

namespace {

std::vector<std::filesystem::path> inputs() {
  std::vector<std::filesystem::path> files;
  for (const char* name : {"regressions", "seeds", "corpus"}) {
    const std::filesystem::path dir = std::filesystem::path(MAG_SOURCE_DIR) / "tests/fuzz_sid" / name;
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& e : std::filesystem::directory_iterator(dir))
      if (e.is_regular_file() && e.path().extension() != ".asm" && e.path().filename() != "README") files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(FuzzRegressions, EveryInputPlaysSafely) {
  const auto files = inputs();
  const auto in_corpus = std::count_if(files.begin(), files.end(),
                                       [](const auto& p) { return p.parent_path().filename() == "corpus"; });
  EXPECT_GE(in_corpus, 20) << "tests/fuzz_sid/corpus has gone missing";
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    std::ifstream f(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    sid_fuzz_one(bytes.data(), bytes.size());
  }
}

}  // namespace
