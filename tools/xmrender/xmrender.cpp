// xmrender: renders an XM module to a 44,100 Hz 16-bit stereo WAV through the
// magazine's own player code (xm_fill_block after xm_fill_block over the same ring):
// a fixed length or the song up to its end, all channels or some, with an
// optional per-block order/row timeline and a JSON summary of the module.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/wav_writer.h"
#include "song_watch.h"
#include "tools/common/progress.h"
#include "tools/common/tool_args.h"
#include "xm/xm_mixer.h"
#include "xm/xm_player.h"

namespace {

constexpr const char* program = "xmrender";
constexpr double max_seconds = 86400;
constexpr double until_end_default_cap = 1200;
constexpr int32_t fade_frames = 2 * xm_output_rate;

const char* usage =
    "usage: xmrender IN.xm -o OUT.wav [--seconds S | --until-end] [--mute LIST | --solo LIST]\n"
    "                [--timeline FILE] [--info]\n"
    "Renders an XM module with the magazine's player: 44,100 Hz 16-bit stereo WAV.\n"
    "  -o OUT.wav        the WAV file to write\n"
    "  --seconds S       length to render (default 60, at most 86400)\n"
    "  --until-end       stop where the song ends: the first time the order sequence\n"
    "                    wraps or jumps back to a position already played; the last\n"
    "                    2 s fade out (--seconds then is the longest render, default 1200)\n"
    "  --mute LIST       silence these channels (numbers from 1, e.g. 2,5)\n"
    "  --solo LIST       play only these channels\n"
    "  --timeline FILE   one line per 884-frame block: block order row elapsed_ms\n"
    "  --info            print channels, song length, patterns, instruments, samples,\n"
    "                    frequency table and title as one JSON line\n"
    "A progress bar shows on a terminal while a render takes longer than half a second.\n";

struct Options {
  const char* in = nullptr;
  const char* out = nullptr;
  const char* timeline = nullptr;
  double seconds = 60;
  bool seconds_given = false;
  bool until_end = false;
  bool info = false;
  std::vector<int> mute, solo;
  bool mute_given = false, solo_given = false;
};

// exit_ok when the command line holds together; otherwise the message is out.
int read_options(int argc, char** argv, Options& o) {
  ToolArgs args{program, argc, argv};
  while (args_next(args)) {
    if (args_is(args, "-o")) {
      o.out = args_text(args);
    } else if (args_is(args, "--timeline")) {
      o.timeline = args_text(args);
    } else if (args_is(args, "--seconds")) {
      o.seconds = args_number(args, 0.001, max_seconds);
      o.seconds_given = true;
    } else if (args_is(args, "--until-end")) {
      o.until_end = true;
    } else if (args_is(args, "--info")) {
      o.info = true;
    } else if (args_is(args, "--mute")) {
      o.mute = args_integer_list(args, 1, 32);
      o.mute_given = true;
    } else if (args_is(args, "--solo")) {
      o.solo = args_integer_list(args, 1, 32);
      o.solo_given = true;
    } else if (args_is_option(args)) {
      return args_unknown(args);
    } else if (!o.in) {
      o.in = args.current;
    } else {
      return tool_usage_error(program, std::string("more than one input file: ") + args.current);
    }
    if (args.failed) return exit_usage;
  }
  if (!o.in) return tool_usage_error(program, "no input file");
  if (!o.out && !o.info) return tool_usage_error(program, "nothing to do: give -o OUT.wav or --info");
  if (!o.out && (o.timeline || o.until_end || o.mute_given || o.solo_given || o.seconds_given))
    return tool_usage_error(program, "--seconds, --until-end, --mute, --solo and --timeline need -o OUT.wav");
  if (o.mute_given && o.solo_given) return tool_usage_error(program, "give --mute or --solo, not both");
  if (o.until_end && !o.seconds_given) o.seconds = until_end_default_cap;
  return exit_ok;
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

// The channels to silence as a mask, or a usage message when the list names a
// channel the module does not have.
bool muted_channels(const Options& o, int channels, uint32_t& mask, std::string& problem) {
  const std::vector<int>& list = o.solo_given ? o.solo : o.mute;
  uint32_t named = 0;
  for (int c : list) {
    if (c > channels) {
      problem = std::string(o.solo_given ? "--solo" : "--mute") + " names channel " + std::to_string(c) +
                ", but the module has " + std::to_string(channels);
      return false;
    }
    named |= 1u << (c - 1);
  }
  mask = o.solo_given ? ~named : named;
  return true;
}

// Writes frames to the WAV but holds the last 2 s back, so that the end of the
// render can still fade out once it is known.
struct FadingTail {
  WavWriter* wav = nullptr;
  bool holds = false;
  std::vector<int16_t> held;  // interleaved, oldest first
};

void tail_write(FadingTail& t, const int16_t* data, uint32_t frames) {
  if (!t.holds) {
    wav_write(*t.wav, data, frames * 2);
    return;
  }
  t.held.insert(t.held.end(), data, data + size_t(frames) * 2);
  const size_t keep = size_t(fade_frames) * 2;
  if (t.held.size() >= 2 * keep) {
    size_t out = t.held.size() - keep;
    wav_write(*t.wav, t.held.data(), uint32_t(out));
    t.held.erase(t.held.begin(), t.held.begin() + long(out));
  }
}

// Fades the held frames (at most 2 s, at most half of the render) to silence.
void tail_finish(FadingTail& t, int64_t frames_rendered) {
  if (!t.holds) return;
  int64_t held_frames = int64_t(t.held.size() / 2);
  int64_t n = std::min<int64_t>({held_frames, fade_frames, frames_rendered / 2});
  int64_t first = held_frames - n;
  for (int64_t i = 0; i < n; ++i) {
    double gain = double(n - 1 - i) / double(n);
    for (int side = 0; side < 2; ++side) {
      int16_t& v = t.held[size_t((first + i) * 2 + side)];
      v = int16_t(std::lround(v * gain));
    }
  }
  wav_write(*t.wav, t.held.data(), uint32_t(t.held.size()));
  t.held.clear();
}

struct RendererDone {
  void operator()(XmRenderer* r) const {
    xm_renderer_release(*r);
    delete r;
  }
};

int render(const Options& o, XmModule& module) {
  uint32_t muted = 0;
  std::string problem;
  if (!muted_channels(o, module.channel_count, muted, problem)) return tool_usage_error(program, problem);

  std::unique_ptr<XmRenderer, RendererDone> renderer(new XmRenderer());
  if (!xm_renderer_start(*renderer, module)) return tool_error(program, "out of memory");
  SongWatch watch;
  watch.muted = muted;
  song_watch_attach(watch, *renderer);

  WavWriter wav;
  if (!wav_open(wav, o.out, uint32_t(xm_output_rate), 2))
    return tool_error(program, std::string("cannot write ") + o.out + ": " + std::strerror(errno));
  FILE* timeline = nullptr;
  if (o.timeline) {
    timeline = std::fopen(o.timeline, "w");
    if (!timeline) {
      wav_close(wav);
      return tool_error(program, std::string("cannot write ") + o.timeline + ": " + std::strerror(errno));
    }
  }
  FadingTail tail{&wav, o.until_end, {}};
  Progress progress;
  progress_start(progress, program);
  auto detail = [&](int64_t frames) {
    char text[96];
    if (o.until_end)
      std::snprintf(text, sizeof text, "order position %d of %d, %.1f s", watch.positions_played,
                    int(module.song_length), double(frames) / xm_output_rate);
    else
      std::snprintf(text, sizeof text, "%.1f of %.1f s", double(frames) / xm_output_rate, o.seconds);
    return std::string(text);
  };

  const int64_t cap = std::llround(o.seconds * xm_output_rate);
  int64_t written = 0;
  auto at_end = [&] { return o.until_end && watch.ended; };
  for (uint32_t block = 0; written < cap && !at_end(); ++block) {
    int32_t index = renderer->fill_index;
    watch.block_start = written;
    xm_fill_block(*renderer);
    int64_t count = std::min<int64_t>(cap - written, xm_block_frames);
    if (at_end()) count = std::min(count, watch.end_frame - written);
    tail_write(tail, xm_ring_block(*renderer, index), uint32_t(count));
    written += count;
    if (timeline) {
      BlockRecord r = renderer->records[index];
      std::fprintf(timeline, "%u %u %u %u\n", block, r.order, r.row, r.elapsed_ms);
    }
    double done = o.until_end ? double(watch.positions_played) / module.song_length : double(written) / double(cap);
    progress_show(progress, done, detail(written));
  }
  tail_finish(tail, written);
  progress_end(progress, detail(written));
  if (o.until_end && !watch.ended)
    std::fprintf(stderr, "%s: the song did not come back to a position it had played within %g s; stopped there\n",
                 program, o.seconds);

  bool bad = !wav_close(wav);
  if (timeline) {
    bad |= std::ferror(timeline) != 0;
    bad |= std::fclose(timeline) != 0;
  }
  if (bad) return tool_error(program, "error while writing the output");
  return exit_ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (args_want_help(argc, argv)) {
    std::fputs(usage, stdout);
    return exit_ok;
  }
  Options o;
  if (int status = read_options(argc, argv, o); status != exit_ok) return status;

  std::vector<uint8_t> bytes;
  std::string error;
  if (!read_file(o.in, bytes, error)) return tool_error(program, error);
  XmModule* module = xm_load_from_memory(bytes.data(), bytes.size());
  if (!module) return tool_error(program, std::string(o.in) + " is not an XM module this player can load");
  if (o.info) print_info(*module);
  int status = o.out ? render(o, *module) : exit_ok;
  xm_release(module);
  return status;
}
