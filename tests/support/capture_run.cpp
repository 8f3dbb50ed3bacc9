#include "tests/support/capture_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> split(const std::string& line, char separator) {
  std::vector<std::string> parts;
  std::stringstream stream(line);
  for (std::string part; std::getline(stream, part, separator);) parts.push_back(part);
  return parts;
}

}  // namespace

std::vector<std::string> CaptureRun::screen_sequence() const {
  std::vector<std::string> sequence;
  for (const auto& frame : frames)
    if (sequence.empty() || sequence.back() != frame.at("screen")) sequence.push_back(frame.at("screen"));
  return sequence;
}

std::string CaptureRun::file(const std::string& name) const { return read_all(out_directory + "/" + name); }

CaptureRun run_capture(const std::string& script, const std::string& name, const std::string& extra_arguments) {
  CaptureRun run;
  // Test processes run side by side (ctest -j): each writes a folder of its own.
  std::string base = std::string(MAG_BINARY_DIR) + "/tests/capture/" + name + "-" + std::to_string(getpid());
  run.out_directory = base;
  std::system(("rm -rf '" + base + "' && mkdir -p '" + base + "'").c_str());
  std::string script_path = base + ".script";
  std::ofstream(script_path) << script;
  std::string command = std::string(MAG_BINARY_DIR) + "/magcapture --script '" + script_path + "' --out '" + base +
                        "' --trace '" + base + "/trace.tsv' " + extra_arguments + " 2> '" + base + ".stderr'";
  int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.error_output = read_all(base + ".stderr");
  std::vector<std::string> lines = split(read_all(base + "/trace.tsv"), '\n');
  if (lines.empty()) return run;
  std::vector<std::string> header = split(lines[0], '\t');
  for (size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string> cells = split(lines[i], '\t');
    if (cells.size() != header.size()) continue;
    std::map<std::string, std::string> row;
    for (size_t c = 0; c < header.size(); ++c) row[header[c]] = cells[c];
    run.frames.push_back(row);
  }
  return run;
}
