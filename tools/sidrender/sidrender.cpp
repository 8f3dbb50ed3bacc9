// sidrender IN.sid -o OUT.wav [--seconds S] [--song N] [--mute LIST] [--stats] [--writes FILE]
// Renders a PSID tune as the intro plays it: load, init with the song, then one
// play call per chunk of 882 samples, into a 44,100 Hz 16-bit mono WAV.

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/wav_writer.h"
#include "sid/sid_driver.h"
#include "tools/common/progress.h"
#include "tools/common/tool_args.h"

namespace {

const char program[] = "sidrender";
constexpr uint32_t max_file_bytes = 1 << 20;
constexpr double max_seconds = 3600;

const char usage[] =
    "usage: sidrender IN.sid -o OUT.wav [--seconds S] [--song N] [--mute LIST] [--stats] [--writes FILE]\n"
    "Renders a PSID tune with the intro's player: 44,100 Hz, 16-bit mono WAV.\n"
    "  -o OUT.wav      the WAV file to write\n"
    "  --seconds S     length to render (default 60, at most 3600)\n"
    "  --song N        song number handed to the init routine in A (default 0, the\n"
    "                  first); below the tune's number of songs\n"
    "  --mute LIST     voices left out of the mix, e.g. 1,3 (voices 1 to 3; a muted\n"
    "                  voice still drives the sync and ring modulation of the others)\n"
    "  --stats         print one JSON line: load, init and play addresses, init and\n"
    "                  largest play instruction counts, play calls, SID writes\n"
    "  --writes FILE   log every SID write, one line per routine call that wrote:\n"
    "                  'N: RR=VV ...' (N 0 for init, then play calls 1, 2, ...)\n"
    "A render that takes a while shows its progress on stderr when that is a terminal.\n"
    "Exit status: 0 done, 1 the tune or a file could not be read or written, 2 bad arguments.\n";

struct Options {
  const char* in = nullptr;
  const char* out = nullptr;
  const char* writes = nullptr;
  double seconds = 60;
  long song = 0;
  uint8_t muted_voices = 0;
  bool stats = false;
};

// False after a usage message.
bool parse(int argc, char** argv, Options& o) {
  ToolArgs args{program, argc, argv};
  while (args_next(args) && !args.failed) {
    if (args_is(args, "-o")) o.out = args_text(args);
    else if (args_is(args, "--seconds")) o.seconds = args_number(args, 0.001, max_seconds);
    else if (args_is(args, "--song")) o.song = args_integer(args, 0, 255);
    else if (args_is(args, "--mute"))
      for (int voice : args_integer_list(args, 1, 3)) o.muted_voices |= uint8_t(1 << (voice - 1));
    else if (args_is(args, "--stats")) o.stats = true;
    else if (args_is(args, "--writes")) o.writes = args_text(args);
    else if (args_is_option(args)) args_unknown(args);
    else if (!o.in) o.in = args.current;
    else {
      tool_usage_error(program, std::string("more than one input file: ") + args.current);
      return false;
    }
  }
  if (args.failed) return false;
  if (!o.in) {
    tool_usage_error(program, "no input file");
    return false;
  }
  if (!o.out || !*o.out) {
    tool_usage_error(program, "no output file: give -o OUT.wav");
    return false;
  }
  return true;
}

// Collects the SID writes of one routine call.
struct WriteLog {
  FILE* file = nullptr;
  std::string line;
};

void log_write(void* context, uint16_t address, uint8_t value) {
  auto& log = *static_cast<WriteLog*>(context);
  char item[8];
  std::snprintf(item, sizeof item, " %02X=%02X", address & 0x1F, value);
  log.line += item;
}

void flush_call(WriteLog& log, uint32_t call) {
  if (!log.file || log.line.empty()) return;
  std::fprintf(log.file, "%u:%s\n", call, log.line.c_str());
  log.line.clear();
}

bool read_file(const char* path, std::vector<uint8_t>& bytes, std::string& problem) {
  FILE* f = std::fopen(path, "rb");
  if (!f) {
    problem = std::string("cannot open ") + path + ": " + std::strerror(errno);
    return false;
  }
  uint8_t chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (bytes.size() > max_file_bytes) {
      std::fclose(f);
      problem = std::string(path) + ": too large for a PSID file (over 1 MiB)";
      return false;
    }
  }
  const bool failed = std::ferror(f);
  std::fclose(f);
  if (failed) problem = std::string("cannot read ") + path;
  return !failed;
}

}  // namespace

int main(int argc, char** argv) {
  if (args_want_help(argc, argv)) {
    std::fputs(usage, stdout);
    return exit_ok;
  }
  Options o;
  if (!parse(argc, argv, o)) return exit_usage;

  std::vector<uint8_t> tune;
  std::string problem;
  if (!read_file(o.in, tune, problem)) return tool_error(program, problem);
  if (const char* p = psid_problem(tune.data(), uint32_t(tune.size())))
    return tool_error(program, std::string(o.in) + ": " + p);
  const long songs = std::max(1, tune[14] << 8 | tune[15]);   // a header's 0 still has the one song
  if (o.song >= songs) {
    const std::string range = songs == 1 ? "1 song: give 0" : std::to_string(songs) + " songs: give 0 to " +
                                                                  std::to_string(songs - 1);
    return tool_usage_error(program, "--song " + std::to_string(o.song) + " is not in " + o.in + " (it has " +
                                         range + ")");
  }
  if (tune[0] == 'R')
    std::fprintf(stderr, "%s: warning: %s is an RSID tune; played as PSID, it may be silent or wrong\n", program, o.in);
  if (tune[8] | tune[9])
    std::fprintf(stderr, "%s: warning: header load address $%02X%02X ignored; the data's first two bytes are used\n",
                 program, tune[8], tune[9]);

  WriteLog log;
  if (o.writes && !(log.file = std::fopen(o.writes, "w")))
    return tool_error(program, std::string("cannot write ") + o.writes + ": " + std::strerror(errno));
  WavWriter wav;
  if (!wav_open(wav, o.out, sid_sample_rate))
    return tool_error(program, std::string("cannot write ") + o.out + ": " + std::strerror(errno));

  auto st = std::make_unique<SidPlayerState>();
  if (log.file) {
    st->write_observer = log_write;
    st->write_context = &log;
  }
  if (sid_prepare_tune(*st, tune.data(), uint32_t(tune.size()), uint8_t(o.song)) == SidLoadResult::cut)
    std::fprintf(stderr, "%s: warning: tune data run past $FFFF and were cut there\n", program);
  st->chip.muted_voices = o.muted_voices;
  flush_call(log, 0);
  if (!st->last_call_returned)
    std::fprintf(stderr, "%s: warning: init did not return within %u instructions\n", program,
                 sid_init_instruction_limit);

  const uint64_t total = uint64_t(std::llround(o.seconds * sid_sample_rate));
  int16_t chunk[sid_chunk_samples];
  uint32_t play_max = 0, bounded = 0;
  Progress progress;
  progress_start(progress, program);
  char seconds_detail[48];
  for (uint64_t done = 0; done < total; done += sid_chunk_samples) {
    sid_render_chunk(*st, chunk, sid_chunk_samples);
    flush_call(log, st->play_calls);
    play_max = st->last_call_instructions > play_max ? st->last_call_instructions : play_max;
    bounded += !st->last_call_returned;
    const uint64_t left = total - done;
    wav_write(wav, chunk, uint32_t(left < sid_chunk_samples ? left : sid_chunk_samples));
    if (st->play_calls % 50 == 0) {
      std::snprintf(seconds_detail, sizeof seconds_detail, "%.0f of %.0f s", double(done) / sid_sample_rate, o.seconds);
      progress_show(progress, double(done) / double(total), seconds_detail);
    }
  }
  std::snprintf(seconds_detail, sizeof seconds_detail, "%.0f of %.0f s", o.seconds, o.seconds);
  progress_end(progress, seconds_detail);
  if (bounded)
    std::fprintf(stderr, "%s: warning: %u play calls stopped at the %u-instruction bound\n", program, bounded,
                 sid_play_instruction_limit);
  if (!wav_close(wav)) return tool_error(program, std::string("error writing ") + o.out);
  if (log.file && std::fclose(log.file) != 0) return tool_error(program, std::string("error writing ") + o.writes);

  if (o.stats)
    std::printf(
        "{\"load_address\":%u,\"init_address\":%u,\"play_address\":%u,\"init_instructions\":%u,"
        "\"play_instructions_max\":%u,\"play_calls\":%u,\"sid_writes\":%u}\n",
        st->load_address, st->init_address, st->play_address, st->init_instructions, play_max, st->play_calls,
        st->sid_writes);
  return exit_ok;
}
