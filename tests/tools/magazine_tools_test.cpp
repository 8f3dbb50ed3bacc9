// The edges of the tools that draw the magazine: magpreview and magcapture.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/shot_pixels.h"
#include "tests/tools/run_tool.h"

namespace {

TEST(Magpreview, RefusesValuesOutsideWhatTheMagazineHas) {
  const std::string out = scratch_folder("magpreview") + "/frame.png";
  EXPECT_TRUE(is_usage_error(run_tool("magpreview", {}), "magpreview", "OUT.png"));
  EXPECT_TRUE(is_usage_error(run_tool("magpreview", {out, "--skin", "9"}), "magpreview", "--skin"));
  EXPECT_TRUE(is_usage_error(run_tool("magpreview", {out, "--menu", "7"}), "magpreview", "--menu"));
  EXPECT_TRUE(is_usage_error(run_tool("magpreview", {out, "--frames", "-3"}), "magpreview", "--frames"));
  EXPECT_TRUE(is_usage_error(run_tool("magpreview", {out, "--page", "21"}), "magpreview", "--page"));
  EXPECT_TRUE(is_usage_error(run_tool("magpreview", {out, "--top", "2x"}), "magpreview", "--top"));
  EXPECT_TRUE(is_usage_error(run_tool("magpreview", {out, "--pointer", "400"}), "magpreview", "--pointer"));
  EXPECT_TRUE(is_usage_error(run_tool("magpreview", {out, "--bogus"}), "magpreview", "--bogus"));
  EXPECT_TRUE(is_usage_error(run_tool("magpreview", {out, out}), "magpreview", "one"));
  EXPECT_FALSE(std::filesystem::exists(out)) << "nothing is written after a usage error";
}

TEST(Magpreview, WritesTheFrameOrSaysWhyNot) {
  const std::string folder = scratch_folder("magpreview_ok"), out = folder + "/frame.png";
  ToolRun run = run_tool("magpreview", {out, "--skin", "2", "--page", "12", "--menu", "1", "--frames", "3"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(read_shot_pixels(out).size(), 800u * 600u);
  EXPECT_TRUE(is_failure(run_tool("magpreview", {out + ".missing/frame.png"}), "magpreview", "frame.png"));
  std::filesystem::remove_all(folder);
}

TEST(Magcapture, ABadCommandLineIsAUsageErrorAndABadScriptAFailure) {
  const std::string folder = scratch_folder("magcapture");
  const std::string script = folder + "/script.txt";
  std::ofstream(script) << "wait 0.1\n";
  EXPECT_TRUE(is_usage_error(run_tool("magcapture", {}), "magcapture", "--script"));
  EXPECT_TRUE(is_usage_error(run_tool("magcapture", {"--script", script}), "magcapture", "--out"));
  EXPECT_TRUE(is_usage_error(run_tool("magcapture", {"--script", script, "--out", folder, "--seed", "x"}), "magcapture", "--seed"));
  EXPECT_TRUE(is_usage_error(run_tool("magcapture", {"--script", script, "--out", folder, "--refresh", "0"}), "magcapture",
                     "--refresh"));
  EXPECT_TRUE(is_usage_error(run_tool("magcapture", {"--script", script, "--out"}), "magcapture", "--out"));
  EXPECT_TRUE(is_usage_error(run_tool("magcapture", {"--script", script, "--out", folder, "extra"}), "magcapture", "extra"));
  EXPECT_TRUE(is_failure(run_tool("magcapture", {"--script", folder + "/none.txt", "--out", folder}), "magcapture", "none.txt"));
  std::ofstream(script) << "wait 1\nkey spacebar\n";
  EXPECT_TRUE(is_failure(run_tool("magcapture", {"--script", script, "--out", folder}), "magcapture", "line 2"));
}

}  // namespace
