#include "tools/common/progress.h"

#include <chrono>
#include <cstdio>

#include <unistd.h>

namespace {

constexpr int bar_width = 30;

double now_seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void draw(Progress& p, double fraction, const std::string& detail) {
  if (fraction < 0) fraction = 0;
  if (fraction > 1) fraction = 1;
  int filled = int(fraction * bar_width + 0.5);
  std::string bar(size_t(filled), '#');
  bar.append(size_t(bar_width - filled), '.');
  std::fprintf(stderr, "\r%s: [%s] %3d%%  %s   ", p.program, bar.c_str(), int(fraction * 100), detail.c_str());
  std::fflush(stderr);
  p.drawn = true;
}

}  // namespace

void progress_start(Progress& p, const char* program) {
  p = Progress{};
  p.program = program;
  p.terminal = isatty(fileno(stderr)) != 0;
  p.started = now_seconds();
}

void progress_show(Progress& p, double fraction, const std::string& detail) {
  if (!p.terminal) return;
  double now = now_seconds();
  if (now - p.started < 0.5 || now - p.last_drawn < 0.1) return;
  p.last_drawn = now;
  draw(p, fraction, detail);
}

void progress_end(Progress& p, const std::string& detail) {
  if (!p.drawn) return;
  draw(p, 1.0, detail);
  std::fputc('\n', stderr);
  p.drawn = false;
}
