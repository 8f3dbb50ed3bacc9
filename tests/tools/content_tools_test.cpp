// The edges of the content tools: embedfile, issuecheck, issuepack, chartgen,
// skingen, pagefont and bigfont.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/tools/run_tool.h"

namespace {

namespace fs = std::filesystem;

const std::string assets = std::string(MAG_SOURCE_DIR) + "/assets";

TEST(Embedfile, RefusesASymbolThatIsNoCppIdentifier) {
  const std::string folder = scratch_folder("embedfile_symbols");
  const std::string in = folder + "/in.bin", out = folder + "/out.cpp";
  std::ofstream(in) << "abc";
  for (const char* symbol : {"1st", "my-data", "two words", "", "int", "class", "__hidden", "_Upper", "caf\xc3\xa9"})
    EXPECT_TRUE(is_usage_error(run_tool("embedfile", {in, symbol, out}), "embedfile", "SYMBOL")) << symbol;
  EXPECT_FALSE(fs::exists(out));
  EXPECT_TRUE(is_usage_error(run_tool("embedfile", {in, "data"}), "embedfile", "IN SYMBOL OUT.cpp"));
  EXPECT_TRUE(is_failure(run_tool("embedfile", {folder + "/none.bin", "data", out}), "embedfile", "none.bin"));
  EXPECT_TRUE(is_failure(run_tool("embedfile", {in, "data", folder + "/no/such/out.cpp"}), "embedfile", "out.cpp"));
}

TEST(Embedfile, WritesCodeThatCompilesWhateverThePath) {
  const std::string folder = scratch_folder("embedfile_compiles");
  // A path whose last character would turn a comment into a line continuation.
  const std::string odd = folder + "/odd\\";
  fs::create_directories(odd);
  const std::string in = odd + "/x\\", out = folder + "/embedded.cpp";
  std::ofstream(in, std::ios::binary) << std::string("\0\xff\n\\", 4);
  ToolRun run = run_tool("embedfile", {in, "embedded_bytes", out});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string main_file = folder + "/main.cpp";
  std::ofstream(main_file) << "extern const unsigned char embedded_bytes[];\n"
                              "extern const unsigned long embedded_bytes_size;\n"
                              "int main() { return embedded_bytes_size == 4 && embedded_bytes[1] == 255 ? 0 : 1; }\n";
  const std::string program = folder + "/program";
  std::string build = std::string(MAG_CXX_COMPILER) + " -std=c++20 -Werror " + out + " " + main_file + " -o " + program;
  ASSERT_EQ(std::system(build.c_str()), 0) << build;
  EXPECT_EQ(std::system(program.c_str()), 0);
  fs::remove_all(folder);
}

TEST(Issuecheck, AWrongFolderIsOneLineNotAListOfMissingFiles) {
  const std::string empty = scratch_folder("issuecheck_empty");
  ToolRun nowhere = run_tool("issuecheck", {empty + "/nowhere"});
  EXPECT_TRUE(is_failure(nowhere, "issuecheck", "nowhere"));
  EXPECT_EQ(nowhere.out, "");
  ToolRun not_an_issue = run_tool("issuecheck", {empty});
  EXPECT_TRUE(is_failure(not_an_issue, "issuecheck", empty));
  EXPECT_EQ(not_an_issue.out, "");
  EXPECT_TRUE(is_usage_error(run_tool("issuecheck", {assets, assets}), "issuecheck", "ASSETS_DIR"));
  EXPECT_TRUE(is_usage_error(run_tool("issuecheck", {"--bogus"}), "issuecheck", "--bogus"));
  EXPECT_EQ(run_tool("issuecheck", {assets}).status, 0);
}

TEST(Issuepack, RefusesAWrongFolderAndAMissingOutput) {
  const std::string folder = scratch_folder("issuepack");
  EXPECT_TRUE(is_usage_error(run_tool("issuepack", {assets}), "issuepack", "ASSETS_DIR OUT_DIR"));
  EXPECT_TRUE(is_usage_error(run_tool("issuepack", {"--bogus", assets, folder}), "issuepack", "--bogus"));
  EXPECT_TRUE(is_failure(run_tool("issuepack", {folder + "/nowhere", folder}), "issuepack", "nowhere"));
  EXPECT_TRUE(is_failure(run_tool("issuepack", {assets, folder + "/nowhere"}), "issuepack", "nowhere"));
  EXPECT_TRUE(fs::is_empty(folder)) << "no half-written files";
  ToolRun packed = run_tool("issuepack", {assets, folder});
  EXPECT_EQ(packed.status, 0) << packed.err;
  EXPECT_TRUE(fs::exists(folder + "/issue_content.cpp"));
  fs::remove_all(folder);
}

TEST(Chartgen, ArgumentsAndFolders) {
  const std::string folder = scratch_folder("chartgen");
  EXPECT_TRUE(is_usage_error(run_tool("chartgen", {}), "chartgen", "DATA_DIR"));
  EXPECT_TRUE(is_usage_error(run_tool("chartgen", {"a", "b", "c"}), "chartgen", "DATA_DIR"));
  EXPECT_TRUE(is_usage_error(run_tool("chartgen", {"--chek", "a", "b"}), "chartgen", "--chek"));
  EXPECT_TRUE(is_failure(run_tool("chartgen", {folder + "/nowhere", folder}), "chartgen", "releases.txt"));
}

TEST(Skingen, ArgumentsAndInputs) {
  const std::string folder = scratch_folder("skingen");
  const std::string font = assets + "/pictures/page_font.png";
  EXPECT_TRUE(is_usage_error(run_tool("skingen", {}), "skingen", "PAGE_FONT.png OUT_DIR"));
  EXPECT_TRUE(is_usage_error(run_tool("skingen", {font, folder, "--preveiw"}), "skingen", "--preveiw"));
  EXPECT_TRUE(is_usage_error(run_tool("skingen", {font, folder, "extra"}), "skingen", "PAGE_FONT.png OUT_DIR"));
  EXPECT_TRUE(is_failure(run_tool("skingen", {folder + "/none.png", folder}), "skingen", "none.png"));
  EXPECT_TRUE(is_failure(run_tool("skingen", {assets + "/pictures/skin_grunge.png", folder}), "skingen", "2048 x 28"));
  EXPECT_TRUE(is_failure(run_tool("skingen", {font, folder + "/nowhere"}), "skingen", "nowhere"));
  EXPECT_TRUE(fs::is_empty(folder));
}

TEST(Pagefont, ArgumentsAndInputs) {
  const std::string folder = scratch_folder("pagefont");
  EXPECT_TRUE(is_usage_error(run_tool("pagefont", {"a.psf", "b.psf"}), "pagefont", "BODY"));
  EXPECT_TRUE(is_usage_error(run_tool("pagefont", {"a.psf", "b.psf", "out.png", "--preview"}), "pagefont", "--preview"));
  EXPECT_TRUE(is_usage_error(run_tool("pagefont", {"a.psf", "b.psf", "out.png", "--sheet", "x"}), "pagefont", "--sheet"));
  EXPECT_TRUE(is_failure(run_tool("pagefont", {folder + "/none.psf", folder + "/none.psf", folder + "/out.png"}), "pagefont",
                 "none.psf"));
  EXPECT_TRUE(fs::is_empty(folder));
}

TEST(Bigfont, ArgumentsAndInputs) {
  if (!tool_built("bigfont")) GTEST_SKIP() << "bigfont is built only where FreeType is installed";
  const std::string folder = scratch_folder("bigfont");
  EXPECT_TRUE(is_usage_error(run_tool("bigfont", {"font.ttf"}), "bigfont", "FONT.ttf OUT.png"));
  EXPECT_TRUE(is_usage_error(run_tool("bigfont", {"--size", "3", "font.ttf", "out.png"}), "bigfont", "--size"));
  EXPECT_TRUE(is_failure(run_tool("bigfont", {folder + "/none.ttf", folder + "/out.png"}), "bigfont", "none.ttf"));
  EXPECT_TRUE(fs::is_empty(folder));
}

}  // namespace
