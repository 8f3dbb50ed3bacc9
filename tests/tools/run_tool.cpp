#include "tests/tools/run_tool.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string quoted(const std::string& word) {
  std::string out = "'";
  for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

testing::AssertionResult one_line(const ToolRun& run, int status, const std::string& tool, const std::string& mentions) {
  const std::string said = "status " + std::to_string(run.status) + ", stderr:\n" + run.err;
  if (run.status != status) return testing::AssertionFailure() << "wanted status " << status << ", got " << said;
  if (run.err.rfind(tool + ": ", 0) != 0) return testing::AssertionFailure() << "not '" << tool << ": ...': " << said;
  if (run.err.find('\n') != run.err.size() - 1) return testing::AssertionFailure() << "not one line: " << said;
  if (run.err.find(mentions) == std::string::npos)
    return testing::AssertionFailure() << "does not mention '" << mentions << "': " << said;
  return testing::AssertionSuccess();
}

}  // namespace

std::string scratch_folder(const std::string& name) {
  fs::path folder = fs::path(MAG_BINARY_DIR) / "tests/tool_runs" / (name + "-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder.string();
}

bool tool_built(const std::string& tool) { return fs::exists(fs::path(MAG_BINARY_DIR) / tool); }

ToolRun run_tool(const std::string& tool, const std::vector<std::string>& arguments) {
  static const std::string folder = scratch_folder("runs");
  static int runs = 0;
  std::string base = folder + "/" + tool + "-" + std::to_string(++runs);
  std::string command = quoted(std::string(MAG_BINARY_DIR) + "/" + tool);
  for (const std::string& argument : arguments) command += " " + quoted(argument);
  command += " > " + quoted(base + ".out") + " 2> " + quoted(base + ".err") + " < /dev/null";
  int raw = std::system(command.c_str());
  ToolRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = read_all(base + ".out");
  run.err = read_all(base + ".err");
  return run;
}

testing::AssertionResult is_usage_error(const ToolRun& run, const std::string& tool, const std::string& mentions) {
  return one_line(run, 2, tool, mentions);
}

testing::AssertionResult is_failure(const ToolRun& run, const std::string& tool, const std::string& mentions) {
  return one_line(run, 1, tool, mentions);
}
