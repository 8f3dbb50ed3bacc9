// sidrender IN.sid -o OUT.wav [--seconds S] [--song N] [--stats] [--writes FILE]
// Renders a PSID tune as the intro plays it: load, init with the song, then one
// play call per chunk of 882 samples, into a 44,100 Hz 16-bit mono WAV.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "sid/sid_driver.h"
#include "platform/wav_writer.h"

namespace {

constexpr uint32_t max_file_bytes = 1 << 20;
constexpr double max_seconds = 3600;

const char usage[] =
    "usage: sidrender IN.sid -o OUT.wav [--seconds S] [--song N] [--stats] [--writes FILE]\n"
    "Renders a PSID tune with the intro's player: 44,100 Hz, 16-bit mono WAV.\n"
    "  -o OUT.wav      the WAV file to write\n"
    "  --seconds S     length to render (default 60, at most 3600)\n"
    "  --song N        song number handed to the init routine in A (default 0, the first)\n"
    "  --stats         print one JSON line: load, init and play addresses, init and\n"
    "                  largest play instruction counts, play calls, SID writes\n"
    "  --writes FILE   log every SID write, one line per routine call that wrote:\n"
    "                  'N: RR=VV ...' (N 0 for init, then play calls 1, 2, ...)\n";

int fail(const std::string& message) {
  std::fprintf(stderr, "sidrender: %s\n", message.c_str());
  return 1;
}

struct Options {
  const char* in = nullptr;
  const char* out = nullptr;
  const char* writes = nullptr;
  double seconds = 60;
  int song = 0;
  bool stats = false;
};

// Returns an empty string on success, else the problem.
std::string parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    if (a == "-o") {
      if (!(o.out = value())) return "-o needs a file name";
    } else if (a == "--seconds") {
      const char* v = value();
      char* end = nullptr;
      if (!v) return "--seconds needs a number";
      o.seconds = std::strtod(v, &end);
      if (end == v || *end || !(o.seconds > 0) || o.seconds > max_seconds)
        return std::string("--seconds wants a number above 0 and at most 3600, not '") + v + "'";
    } else if (a == "--song") {
      const char* v = value();
      char* end = nullptr;
      if (!v) return "--song needs a number";
      const long n = std::strtol(v, &end, 10);
      if (end == v || *end || n < 0 || n > 255) return std::string("--song wants 0..255, not '") + v + "'";
      o.song = int(n);
    } else if (a == "--stats") {
      o.stats = true;
    } else if (a == "--writes") {
      if (!(o.writes = value())) return "--writes needs a file name";
    } else if (!a.empty() && a[0] == '-') {
      return "unknown option " + a + " (try --help)";
    } else if (!o.in) {
      o.in = argv[i];
    } else {
      return "more than one input file: " + a;
    }
  }
  if (!o.in) return "no input file (try --help)";
  if (!o.out) return "no output file: give -o OUT.wav";
  return {};
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
  for (int i = 1; i < argc; ++i)
    if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      std::fputs(usage, stdout);
      return 0;
    }
  Options o;
  if (const std::string problem = parse(argc, argv, o); !problem.empty()) return fail(problem);

  std::vector<uint8_t> tune;
  std::string problem;
  if (!read_file(o.in, tune, problem)) return fail(problem);
  if (const char* p = psid_problem(tune.data(), uint32_t(tune.size()))) return fail(std::string(o.in) + ": " + p);
  if (tune[0] == 'R') std::fprintf(stderr, "sidrender: warning: %s is an RSID tune; played as PSID, it may be silent or wrong\n", o.in);
  if (tune[8] | tune[9])
    std::fprintf(stderr, "sidrender: warning: header load address $%02X%02X ignored; the data's first two bytes are used\n",
                 tune[8], tune[9]);

  WriteLog log;
  if (o.writes && !(log.file = std::fopen(o.writes, "w")))
    return fail(std::string("cannot write ") + o.writes + ": " + std::strerror(errno));
  WavWriter wav;
  if (!wav_open(wav, o.out, sid_sample_rate)) return fail(std::string("cannot write ") + o.out + ": " + std::strerror(errno));

  auto st = std::make_unique<SidPlayerState>();
  if (log.file) {
    st->write_observer = log_write;
    st->write_context = &log;
  }
  if (sid_prepare_tune(*st, tune.data(), uint32_t(tune.size()), uint8_t(o.song)) == SidLoadResult::cut)
    std::fprintf(stderr, "sidrender: warning: tune data run past $FFFF and were cut there\n");
  flush_call(log, 0);
  if (!st->last_call_returned)
    std::fprintf(stderr, "sidrender: warning: init did not return within %u instructions\n", sid_init_instruction_limit);

  const uint64_t total = uint64_t(std::llround(o.seconds * sid_sample_rate));
  int16_t chunk[sid_chunk_samples];
  uint32_t play_max = 0, bounded = 0;
  for (uint64_t done = 0; done < total; done += sid_chunk_samples) {
    sid_render_chunk(*st, chunk, sid_chunk_samples);
    flush_call(log, st->play_calls);
    play_max = st->last_call_instructions > play_max ? st->last_call_instructions : play_max;
    bounded += !st->last_call_returned;
    const uint64_t left = total - done;
    wav_write(wav, chunk, uint32_t(left < sid_chunk_samples ? left : sid_chunk_samples));
  }
  if (bounded)
    std::fprintf(stderr, "sidrender: warning: %u play calls stopped at the %u-instruction bound\n", bounded,
                 sid_play_instruction_limit);
  if (!wav_close(wav)) return fail(std::string("error writing ") + o.out);
  if (log.file && std::fclose(log.file) != 0) return fail(std::string("error writing ") + o.writes);

  if (o.stats)
    std::printf(
        "{\"load_address\":%u,\"init_address\":%u,\"play_address\":%u,\"init_instructions\":%u,"
        "\"play_instructions_max\":%u,\"play_calls\":%u,\"sid_writes\":%u}\n",
        st->load_address, st->init_address, st->play_address, st->init_instructions, play_max, st->play_calls,
        st->sid_writes);
  return 0;
}
