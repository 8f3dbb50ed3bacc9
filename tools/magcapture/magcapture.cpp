// magcapture: runs the very program flow of the magazine against the virtual
// backend, driven by an input script, and writes what it showed and played.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>

#include "app/main_flow.h"
#include "app/program.h"
#include "platform/random.h"
#include "platform/virtual.h"
#include "tools/common/tool_args.h"

namespace {

const char* usage =
    "usage: magcapture --script FILE --out DIR [--seed N] [--refresh HZ] [--trace FILE]\n"
    "\n"
    "Runs the magazine on virtual time with scripted input and writes:\n"
    "  DIR/NAME.png   the frames the script asks for (800 x 600 RGB)\n"
    "  DIR/audio.wav  everything played, 44,100 Hz 16-bit stereo, the whole run\n"
    "  --trace FILE   one tab-separated line per presented frame\n"
    "\n"
    "Script: one command a line, '#' starts a comment:\n"
    "  wait S | key NAME | hold NAME | release NAME | move X Y | button down|up\n"
    "  click X Y | wheel N | shot NAME.png | quit\n"
    "  NAME: escape, f1..f12, up, down, left, right, pageup, pagedown, home, end\n"
    "\n"
    "Each presented frame advances virtual time by 1/HZ (default 60), each sleep by\n"
    "its length; the same script and seed give the same bytes.\n"
    "Exit status: the program's own when it ends by itself; 3 when the script runs\n"
    "out or quits first; 2 for bad arguments; 1 for a script it cannot read or run\n"
    "(the message names the line) or outputs it cannot write.\n";

Program* traced_program = nullptr;
FILE* trace_file = nullptr;
std::string out_directory;

void trace_frame(uint64_t frame_number, double time_seconds) {
  if (!trace_file || !traced_program) return;
  const Program& p = *traced_program;
  const AppState& a = p.app;
  std::fprintf(trace_file, "%llu\t%.6f\t%s\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\n",
               static_cast<unsigned long long>(frame_number), time_seconds, screen_name(p.screen), a.current_tune,
               a.current_module, a.skin, a.menu_mode, p.page_loaded, a.top_line, a.line_offset, a.page_length,
               a.pointer_x, a.pointer_y, a.pointer_style, p.music_on ? 1 : 0);
}

[[noreturn]] void finish(int status) {
  std::string wav = out_directory + "/audio.wav";
  bool ok = virtual_write_audio_wav(wav.c_str());
  if (!ok) std::fprintf(stderr, "magcapture: cannot write %s\n", wav.c_str());
  if (trace_file && std::fclose(trace_file) != 0) {
    std::fprintf(stderr, "magcapture: cannot finish the trace file\n");
    ok = false;
  }
  trace_file = nullptr;
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(ok ? (status & 0xFF) : 1);
}

bool make_directory(const std::string& path) {
  std::string partial;
  std::stringstream parts(path);
  for (std::string piece; std::getline(parts, piece, '/');) {
    partial += piece;
    if (!partial.empty() && mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) return false;
    partial += '/';
  }
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

const char* const program = "magcapture";

struct Options {
  std::string script_path, trace_path;
  uint64_t seed = 0;
  double refresh = 60.0;
};

// Reads the command line into `options`; exit_ok, or the status to end with.
int read_arguments(int argc, char** argv, Options& options) {
  ToolArgs args{program, argc, argv};
  while (args_next(args)) {
    if (args_is(args, "--script")) options.script_path = args_text(args);
    else if (args_is(args, "--out")) out_directory = args_text(args);
    else if (args_is(args, "--trace")) options.trace_path = args_text(args);
    else if (args_is(args, "--seed")) options.seed = uint64_t(args_integer(args, 0, std::numeric_limits<long>::max()));
    else if (args_is(args, "--refresh")) options.refresh = args_number(args, 1, 1000);
    else if (args_is_option(args)) return args_unknown(args);
    else return tool_usage_error(program, std::string("unexpected argument ") + args.current);
  }
  if (args.failed) return exit_usage;
  if (options.script_path.empty() || out_directory.empty())
    return tool_usage_error(program, "--script and --out are required");
  return exit_ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (args_want_help(argc, argv)) {
    std::fputs(usage, stdout);
    return exit_ok;
  }
  Options options;
  if (int status = read_arguments(argc, argv, options); status != exit_ok) return status;

  std::ifstream script_file(options.script_path);
  if (!script_file) return tool_error(program, "cannot read script " + options.script_path);
  std::stringstream text;
  text << script_file.rdbuf();
  virtual_reset();
  std::string error;
  if (!virtual_load_script(text.str(), &error)) return tool_error(program, options.script_path + ": " + error);
  if (!make_directory(out_directory)) return tool_error(program, "cannot create output folder " + out_directory);
  if (!options.trace_path.empty()) {
    trace_file = std::fopen(options.trace_path.c_str(), "w");
    if (!trace_file) return tool_error(program, "cannot write trace " + options.trace_path);
    std::fputs("frame\ttime\tscreen\tcurrent_tune\tcurrent_module\tskin\tmenu_mode\tpage\ttop_line\tline_offset\t"
               "page_length\tpointer_x\tpointer_y\tpointer_style\tmusic_on\n",
               trace_file);
  }

  random_set_salt(options.seed);
  virtual_set_refresh(options.refresh);
  virtual_set_shot_directory(out_directory);
  virtual_set_present_observer(trace_frame);
  virtual_set_run_end(finish);
  auto program_state = std::make_unique<Program>();
  traced_program = program_state.get();
  finish(run_magazine(*program_state));
}
