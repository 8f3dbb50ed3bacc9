// What every tool shares: --help answers on stdout with status 0.
#include <gtest/gtest.h>

#include "tests/tools/run_tool.h"

namespace {

TEST(EveryTool, AnswersHelpOnStdoutWithStatusZero) {
  for (const char* tool : {"magpreview", "magcapture", "embedfile", "issuecheck", "issuepack", "chartgen", "skingen",
                           "pagefont", "bigfont", "xmcompose", "xmstandin"}) {
    if (!tool_built(tool)) continue;
    ToolRun run = run_tool(tool, {"--help"});
    EXPECT_EQ(run.status, 0) << tool;
    EXPECT_EQ(run.out.rfind("usage: ", 0), 0u) << tool << ": " << run.out;
    EXPECT_EQ(run.err, "") << tool;
  }
}

}  // namespace
