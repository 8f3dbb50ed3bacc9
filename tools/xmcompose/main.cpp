// xmcompose: builds an XM module from a text score whose instruments it
// synthesises itself. The score format is described in assets/modules/README.md.
#include <cstdio>
#include <cstring>
#include <string>

#include "score_parse.h"
#include "timeline.h"
#include "xm_writer.h"

namespace {

constexpr const char* kHelp =
    "usage: xmcompose SCORE -o OUT.xm     compose SCORE into an XM module\n"
    "       xmcompose --info SCORE        tell channels, length to the loop and note range\n"
    "       xmcompose --help\n"
    "Score mistakes are reported as SCORE:LINE: message; the exit status is then 1.\n";

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
  std::string score, out;
  bool info = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kHelp, stdout);
      return 0;
    } else if (a == "--info") {
      info = true;
    } else if (a == "-o") {
      if (++i == argc) {
        std::fprintf(stderr, "xmcompose: -o needs a file name\n");
        return 2;
      }
      out = argv[i];
    } else if (!a.empty() && a[0] == '-') {
      std::fprintf(stderr, "xmcompose: unknown option %s (try --help)\n", a.c_str());
      return 2;
    } else if (score.empty()) {
      score = a;
    } else {
      std::fprintf(stderr, "xmcompose: one score at a time (try --help)\n");
      return 2;
    }
  }
  if (score.empty() || (out.empty() && !info)) {
    std::fprintf(stderr, "xmcompose: expected SCORE -o OUT.xm or --info SCORE (try --help)\n");
    return 2;
  }
  xmc::Song song;
  std::string error;
  if (!xmc::load_score(score, song, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  if (info) print_info(song);
  if (!out.empty() && !write_file(out, xmc::write_xm(song))) {
    std::fprintf(stderr, "xmcompose: cannot write %s\n", out.c_str());
    return 1;
  }
  return 0;
}
