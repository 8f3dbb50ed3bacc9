// xmcompose: builds an XM module from a text score whose instruments it
// synthesises itself. The score format is described in assets/modules/README.md.
#include <cstdio>
#include <string>

#include "score_parse.h"
#include "timeline.h"
#include "tools/common/tool_args.h"
#include "xm_writer.h"

namespace {

constexpr const char* kHelp =
    "usage: xmcompose SCORE -o OUT.xm     compose SCORE into an XM module\n"
    "       xmcompose --info SCORE        tell channels, length to the loop and note range\n"
    "       xmcompose --help\n"
    "Score mistakes are reported as xmcompose: SCORE:LINE: message; the exit status is then 1.\n";

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string temp = path + ".tmp";
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(temp.c_str());
  return ok;
}

void print_info(const xmc::Song& song) {
  xmc::Timeline t = xmc::song_timeline(song);
  int minutes = static_cast<int>(t.seconds_to_loop) / 60;
  double seconds = t.seconds_to_loop - minutes * 60;
  std::printf("title        %s\n", song.title.c_str());
  std::printf("channels     %d\n", song.channels);
  std::printf("speed/tempo  %d / %d BPM\n", song.speed, song.tempo);
  std::printf("orders       %zu (restart %d), patterns %zu, instruments %zu\n", song.orders.size(), song.restart,
              song.patterns.size(), song.instruments.size());
  std::printf("to the loop  %d:%04.1f (%d rows), then back to order %d\n", minutes, seconds, t.rows_to_loop,
              t.loop_order);
  std::printf("notes        %d, %d of them in the bars' range 46..83; %d of %d rows move the bars\n", t.note_count,
              t.bar_notes, t.bar_rows, t.rows_to_loop);
  std::printf("note range   %d..%d\n", t.lowest_note, t.highest_note);
}

}  // namespace

int main(int argc, char** argv) {
  const char* const program = "xmcompose";
  if (args_want_help(argc, argv)) {
    std::fputs(kHelp, stdout);
    return exit_ok;
  }
  ToolArgs args{program, argc, argv};
  std::string score, out;
  bool info = false;
  int scores = 0;
  while (args_next(args)) {
    if (args_is(args, "--info")) {
      info = true;
    } else if (args_is(args, "-o")) {
      out = args_text(args);
    } else if (args_is_option(args)) {
      return args_unknown(args);
    } else {
      score = args.current;
      ++scores;
    }
  }
  if (args.failed) return exit_usage;
  if (scores > 1) return tool_usage_error(program, "one score at a time");
  if (score.empty() || (out.empty() && !info))
    return tool_usage_error(program, "expected SCORE -o OUT.xm or --info SCORE");
  xmc::Song song;
  std::string error;
  // The loader's message is SCORE:LINE: what is wrong.
  if (!xmc::load_score(score, song, error)) return tool_error(program, error);
  if (info) print_info(song);
  if (!out.empty() && !write_file(out, xmc::write_xm(song))) return tool_error(program, "cannot write " + out);
  return exit_ok;
}
