#pragma once
// Runs build/magcapture on a script and reads back what it wrote: the exit status,
// the trace (one row per presented frame, by column name), stderr and the files.
#include <map>
#include <string>
#include <vector>

struct CaptureRun {
  int status = -1;
  std::string error_output;
  std::string out_directory;
  std::vector<std::map<std::string, std::string>> frames;

  // The screens in the order they appeared, repeats collapsed.
  std::vector<std::string> screen_sequence() const;
  std::string file(const std::string& name) const;   // bytes of a file in the output folder
};

CaptureRun run_capture(const std::string& script, const std::string& name, const std::string& extra_arguments = "");
