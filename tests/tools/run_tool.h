#pragma once
// Runs a built tool (build/NAME) with arguments and keeps what it said: the exit
// status, stdout and stderr. Each run writes its own files, so test processes
// running side by side never share them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

ToolRun run_tool(const std::string& tool, const std::vector<std::string>& arguments);
bool tool_built(const std::string& tool);

// A folder of this test process's own under build/tests, emptied first.
std::string scratch_folder(const std::string& name);

// Exit status 2 and exactly one line on stderr, "tool: ...", naming `mentions`.
testing::AssertionResult is_usage_error(const ToolRun& run, const std::string& tool, const std::string& mentions);
// Exit status 1 and exactly one line on stderr, "tool: ...", naming `mentions`.
testing::AssertionResult is_failure(const ToolRun& run, const std::string& tool, const std::string& mentions);
