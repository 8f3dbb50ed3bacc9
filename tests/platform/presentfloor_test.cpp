// presentfloor's edges: a bad command line exits 2, no display exits 1, each
// with one line "presentfloor: ..." on stderr.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Outcome {
  int status = -1;
  std::string error_output;
};

Outcome run_floor(const std::string& arguments) {
  std::string errors = ::testing::TempDir() + "presentfloor_stderr.txt";
  // A runtime folder as a desktop session has one (libwayland complains without).
  std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR=" + ::testing::TempDir() +
                        " " + std::string(MAG_BINARY_DIR) + "/presentfloor " + arguments + " >/dev/null 2>" + errors;
  int status = std::system(command.c_str());
  Outcome outcome;
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream file(errors);
  std::stringstream text;
  text << file.rdbuf();
  outcome.error_output = text.str();
  return outcome;
}

bool one_line_from_the_tool(const std::string& text) {
  return text.rfind("presentfloor: ", 0) == 0 && text.find('\n') == text.size() - 1;
}

TEST(PresentFloor, ABadCommandLineExits2WithOneLine) {
  for (const char* arguments : {"--frames 3", "--seconds", "--seconds 0", "--seconds 1x", "extra"}) {
    Outcome outcome = run_floor(arguments);
    EXPECT_EQ(outcome.status, 2) << arguments;
    EXPECT_TRUE(one_line_from_the_tool(outcome.error_output)) << arguments << ": " << outcome.error_output;
  }
  EXPECT_EQ(run_floor("--help").status, 0);
}

TEST(PresentFloor, WithoutADisplayItExits1WithOneLine) {
  Outcome outcome = run_floor("--seconds 1");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_TRUE(one_line_from_the_tool(outcome.error_output)) << outcome.error_output;
}

}  // namespace
