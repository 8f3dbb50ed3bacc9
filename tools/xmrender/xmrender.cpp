// xmrender: renders an XM module to a 44,100 Hz 16-bit stereo WAV through the
// magazine's own player code (fill_block after fill_block over the same ring),
// optionally with a per-block order/row timeline and a JSON summary.
#include <chrono>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "xm/xm_mixer.h"
#include "platform/wav_writer.h"
#include "xm/xm_player.h"

namespace {

const char* usage =
    "usage: xmrender IN.xm -o OUT.wav [--seconds S] [--timeline FILE] [--info]\n"
    "  -o OUT.wav        write S seconds (default 60) as 44,100 Hz 16-bit stereo\n"
    "  --seconds S       length to render, in seconds\n"
    "  --timeline FILE   one line per 884-frame block: block order row elapsed_ms\n"
    "  --info            print channels, song length, patterns, instruments, samples,\n"
    "                    frequency table and title as one JSON line\n";

int fail(const std::string& message) {
  std::fprintf(stderr, "xmrender: %s\n", message.c_str());
  return 1;
}

bool read_file(const char* path, std::vector<uint8_t>& bytes, std::string& error) {
  FILE* f = std::fopen(path, "rb");
  if (!f) {
    error = std::string("cannot open ") + path + ": " + std::strerror(errno);
    return false;
  }
  uint8_t chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  bool bad = std::ferror(f);
  std::fclose(f);
  if (bad) error = std::string("cannot read ") + path;
  return !bad;
}

std::string json_string(const char* text) {
  std::string out = "\"";
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    if (*p == '"' || *p == '\\') {
      out += '\\';
      out += char(*p);
    } else if (*p < 0x20 || *p >= 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", *p);  // titles are bytes, not UTF-8
      out += escaped;
    } else {
      out += char(*p);
    }
  }
  return out + "\"";
}

void print_info(const XmModule& m) {
  int samples = 0;
  for (int i = 0; i < m.instrument_count; ++i) samples += int(m.instruments[i].sample_count);
  std::printf(
      "{\"channels\": %d, \"song_length\": %d, \"patterns\": %d, \"instruments\": %d, \"samples\": %d, "
      "\"frequency_table\": \"%s\", \"title\": %s}\n",
      m.channel_count, m.song_length, m.pattern_count_held, m.instrument_count, samples,
      (m.flags & xm_flag_linear) ? "linear" : "amiga", json_string(m.title).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const char* in_path = nullptr;
  const char* out_path = nullptr;
  const char* timeline_path = nullptr;
  double seconds = 60;
  bool info = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(usage, stdout);
      return 0;
    } else if (arg == "-o" || arg == "--timeline" || arg == "--seconds") {
      if (i + 1 >= argc) return fail(arg + " needs a value (try --help)");
      const char* value = argv[++i];
      if (arg == "-o") out_path = value;
      if (arg == "--timeline") timeline_path = value;
      if (arg == "--seconds") {
        char* end = nullptr;
        seconds = std::strtod(value, &end);
        if (end == value || *end || !(seconds > 0) || seconds > 86400)
          return fail(std::string("--seconds wants a number of seconds above 0 and up to 86400, not '") + value +
                      "'");
      }
    } else if (arg == "--info") {
      info = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return fail("unknown option " + arg + " (try --help)");
    } else if (!in_path) {
      in_path = argv[i];
    } else {
      return fail("more than one input file (try --help)");
    }
  }
  if (!in_path) return fail("no input file (try --help)");
  if (!out_path && !info) return fail("nothing to do: give -o OUT.wav or --info (try --help)");
  if (timeline_path && !out_path) return fail("--timeline needs -o OUT.wav");

  std::vector<uint8_t> bytes;
  std::string error;
  if (!read_file(in_path, bytes, error)) return fail(error);
  XmModule* module = xm_load_from_memory(bytes.data(), bytes.size());
  if (!module) return fail(std::string(in_path) + " is not an XM module this player can load");
  if (info) print_info(*module);
  if (!out_path) {
    xm_release(module);
    return 0;
  }

  auto* renderer = new XmRenderer();
  if (!xm_renderer_start(*renderer, *module)) {
    xm_release(module);
    return fail("out of memory");
  }
  WavWriter out;
  if (!wav_open(out, out_path, uint32_t(xm_output_rate), 2))
    return fail(std::string("cannot write ") + out_path + ": " + std::strerror(errno));
  FILE* timeline = nullptr;
  if (timeline_path) {
    timeline = std::fopen(timeline_path, "w");
    if (!timeline) return fail(std::string("cannot write ") + timeline_path + ": " + std::strerror(errno));
  }

  uint32_t frames = uint32_t(std::llround(seconds * xm_output_rate));
  auto started = std::chrono::steady_clock::now();
  double last_report = 0;
  bool reported = false;
  uint32_t written = 0;
  for (uint32_t block = 0; written < frames; ++block) {
    int32_t index = renderer->fill_index;
    fill_block(*renderer);
    uint32_t count = frames - written < uint32_t(xm_block_frames) ? frames - written : uint32_t(xm_block_frames);
    const int16_t* data = xm_ring_block(*renderer, index);
    wav_write(out, data, count * 2);
    written += count;
    if (timeline) {
      BlockRecord r = renderer->records[index].load(std::memory_order_relaxed);
      std::fprintf(timeline, "%u %u %u %u\n", block, r.order, r.row, r.elapsed_ms);
    }
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (elapsed > 1.0 && elapsed - last_report >= 0.5) {
      std::fprintf(stderr, "\rxmrender: %.1f of %.1f s rendered", double(written) / xm_output_rate, seconds);
      last_report = elapsed;
      reported = true;
    }
  }
  if (reported) std::fprintf(stderr, "\rxmrender: %.1f of %.1f s rendered\n", seconds, seconds);
  bool bad = !wav_close(out);
  if (timeline) {
    bad |= std::ferror(timeline) != 0;
    bad |= std::fclose(timeline) != 0;
  }
  xm_renderer_release(*renderer);
  delete renderer;
  xm_release(module);
  if (bad) return fail("error while writing the output");
  return 0;
}
