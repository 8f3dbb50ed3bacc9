// Guards the replay tick by tick: for the first seconds of each test module,
// every channel's period (with its vibrato or arpeggio offset), mix volume, final
// pan and sample position after each tick, compared with the text references in
// tests/xm/ticks/. A mismatch names the module, the tick and the channel.
// MAG_UPDATE_GOLDEN=1 rewrites the references (only when the sound is meant to
// change, together with render_hashes.txt).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/xm/bench_songs.h"
#include "tests/xm/effect_songs.h"
#include "tests/xm/xm_test_support.h"

namespace {

const std::string reference_dir = MAG_SOURCE_DIR "/tests/xm/ticks/";

struct ChannelState {
  int64_t period, volume, pan, position;
  bool operator==(const ChannelState&) const = default;
};

struct TickState {
  int order = 0, row = 0;
  std::vector<ChannelState> channels;
};

void record_tick(void* context, XmRenderer& renderer, int32_t) {
  auto& ticks = *static_cast<std::vector<TickState>*>(context);
  const XmModule& m = *renderer.module;
  TickState t{m.order, m.row, {}};
  for (int c = 0; c < m.channel_count; ++c) {
    const XmChannel& ch = m.channels[c];
    t.channels.push_back({int64_t(ch.period) + ch.period_delta, ch.voice->volume, ch.voice->pan, ch.voice->position});
  }
  ticks.push_back(t);
}

std::vector<TickState> trace(const std::vector<uint8_t>& bytes, int blocks) {
  std::vector<TickState> ticks;
  ModulePtr m = load_bytes(bytes);
  if (!m) return ticks;
  RendererPtr r = start_renderer(*m);
  r->tick_observer = record_tick;
  r->observer_context = &ticks;
  for (int b = 0; b < blocks; ++b) xm_fill_block(*r);
  return ticks;
}

// One line a tick: "tick order row: period volume pan position, ..." (channels in order).
std::string to_text(const std::string& name, const std::vector<TickState>& ticks) {
  std::ostringstream out;
  out << "# " << name << ": after each tick, per channel: period volume pan position (test_xm_tick_trace.cpp)\n";
  for (size_t i = 0; i < ticks.size(); ++i) {
    out << i << " " << ticks[i].order << " " << ticks[i].row << ":";
    for (size_t c = 0; c < ticks[i].channels.size(); ++c) {
      const ChannelState& s = ticks[i].channels[c];
      out << (c ? ", " : " ") << s.period << " " << s.volume << " " << s.pan << " " << s.position;
    }
    out << "\n";
  }
  return out.str();
}

std::vector<TickState> from_text(std::istream& in) {
  std::vector<TickState> ticks;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    for (char& c : line)
      if (c == ':' || c == ',') c = ' ';
    std::istringstream fields(line);
    size_t index;
    TickState t;
    fields >> index >> t.order >> t.row;
    ChannelState s;
    while (fields >> s.period >> s.volume >> s.pan >> s.position) t.channels.push_back(s);
    ticks.push_back(t);
  }
  return ticks;
}

std::string describe(const ChannelState& s) {
  return "period " + std::to_string(s.period) + ", volume " + std::to_string(s.volume) + ", pan " +
         std::to_string(s.pan) + ", position " + std::to_string(s.position);
}

std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct TracedModule {
  std::string name;
  std::vector<uint8_t> bytes;
  int blocks = 100;  // 2 s
};

std::vector<TracedModule> traced_modules() {
  xmw::Song amiga = xmw::bench_song(16);
  amiga.flags = 0;
  return {{"bench8", xmw::write(xmw::bench_song(8))},
          {"bench32", xmw::write(xmw::bench_song(32))},
          {"bench16_amiga", xmw::write(amiga)},
          {"standin", read_file(MAG_SOURCE_DIR "/assets/modules/standin.xm")},
          // Every volume byte and effect: 300 ticks, 150 rows.
          {"every_column_linear", xmw::write(xmw::every_column_song(1)), 300},
          {"every_column_amiga", xmw::write(xmw::every_column_song(0)), 300}};
}

}  // namespace

TEST(XmTickTrace, ChannelStatesAreUnchanged) {
  const bool rewrite = std::getenv("MAG_UPDATE_GOLDEN") != nullptr;
  for (const TracedModule& module : traced_modules()) {
    SCOPED_TRACE(module.name);
    std::vector<TickState> now = trace(module.bytes, module.blocks);
    ASSERT_GT(now.size(), size_t(module.blocks) * 9 / 10);
    const std::string path = reference_dir + module.name + ".txt";
    if (rewrite) {
      std::ofstream(path) << to_text(module.name, now);
      continue;
    }
    std::ifstream in(path);
    ASSERT_TRUE(in) << "missing " << path << " (MAG_UPDATE_GOLDEN=1 writes it)";
    std::vector<TickState> expected = from_text(in);
    ASSERT_EQ(now.size(), expected.size()) << "ticks traced";
    int reported = 0;
    for (size_t t = 0; t < now.size() && reported < 5; ++t) {
      if (now[t].order != expected[t].order || now[t].row != expected[t].row) {
        ADD_FAILURE() << "tick " << t << ": order " << now[t].order << " row " << now[t].row << ", expected order "
                      << expected[t].order << " row " << expected[t].row;
        ++reported;
        continue;
      }
      ASSERT_EQ(now[t].channels.size(), expected[t].channels.size()) << "channels at tick " << t;
      for (size_t c = 0; c < now[t].channels.size() && reported < 5; ++c)
        if (!(now[t].channels[c] == expected[t].channels[c])) {
          ADD_FAILURE() << "tick " << t << " (order " << now[t].order << " row " << now[t].row << ") channel "
                        << c + 1 << ": " << describe(now[t].channels[c]) << "; expected "
                        << describe(expected[t].channels[c]);
          ++reported;
        }
    }
  }
  if (rewrite) GTEST_SKIP() << "rewrote the references in " << reference_dir;
}
