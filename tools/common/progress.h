#pragma once
// A progress bar on stderr for long renders: drawn only on a terminal, only once
// the work has taken half a second, redrawn at most ten times a second, and
// closed with a newline so the next message starts on a line of its own.
//   xmrender: [###########.........]  55%  33.0 of 60.0 s
#include <string>

struct Progress {
  const char* program = "";
  bool terminal = false;
  bool drawn = false;
  double started = 0;
  double last_drawn = 0;
};

void progress_start(Progress& progress, const char* program);
// fraction 0..1; detail follows the percentage.
void progress_show(Progress& progress, double fraction, const std::string& detail);
// Draws the bar full with its last detail (if it was drawn at all) and ends the line.
void progress_end(Progress& progress, const std::string& detail);
