// The edges of the module tools: xmcompose's and xmstandin's command lines.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/tools/run_tool.h"

namespace {

namespace fs = std::filesystem;

TEST(Xmcompose, ArgumentsAndAMissingScore) {
  const std::string folder = scratch_folder("xmcompose");
  const std::string score = std::string(MAG_SOURCE_DIR) + "/assets/modules/src/module1.score";
  EXPECT_TRUE(is_usage_error(run_tool("xmcompose", {}), "xmcompose", "SCORE"));
  EXPECT_TRUE(is_usage_error(run_tool("xmcompose", {score}), "xmcompose", "-o"));
  EXPECT_TRUE(is_usage_error(run_tool("xmcompose", {score, "-o"}), "xmcompose", "-o"));
  EXPECT_TRUE(is_usage_error(run_tool("xmcompose", {score, score, "-o", folder + "/x.xm"}), "xmcompose", "one score"));
  EXPECT_TRUE(is_usage_error(run_tool("xmcompose", {"--inf", score}), "xmcompose", "--inf"));
  EXPECT_TRUE(is_failure(run_tool("xmcompose", {folder + "/none.score", "-o", folder + "/x.xm"}), "xmcompose", "none.score"));
  EXPECT_TRUE(is_failure(run_tool("xmcompose", {score, "-o", folder + "/nowhere/x.xm"}), "xmcompose", "x.xm"));
  EXPECT_TRUE(fs::is_empty(folder));
}

TEST(Xmstandin, ArgumentsAndAnUnwritableFile) {
  const std::string folder = scratch_folder("xmstandin");
  EXPECT_TRUE(is_usage_error(run_tool("xmstandin", {}), "xmstandin", "OUT.xm"));
  EXPECT_TRUE(is_usage_error(run_tool("xmstandin", {"a.xm", "b.xm"}), "xmstandin", "OUT.xm"));
  EXPECT_TRUE(is_usage_error(run_tool("xmstandin", {"--bpm", "120", "a.xm"}), "xmstandin", "--bpm"));
  EXPECT_TRUE(is_failure(run_tool("xmstandin", {folder + "/nowhere/standin.xm"}), "xmstandin", "standin.xm"));
  EXPECT_TRUE(fs::is_empty(folder));
  EXPECT_EQ(run_tool("xmstandin", {folder + "/standin.xm"}).status, 0);
  EXPECT_GT(fs::file_size(folder + "/standin.xm"), 1000u);
}

}  // namespace
