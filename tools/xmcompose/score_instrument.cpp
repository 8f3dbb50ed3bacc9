// Instrument blocks: synthesis settings, envelopes, auto-vibrato and sample values.
#include <map>

#include "score_reader.h"

namespace xmc::reader {

bool Parser::envelope(const std::vector<Token>& t, Envelope& e) {
  e = Envelope{};
  int previous = -1;
  for (size_t i = 1; i < t.size(); ++i) {
    const std::string& s = t[i].text;
    if (s == "sustain") {
      if (!int_arg(t, ++i, 0, 11, e.sustain)) return false;
    } else if (s == "loop") {
      if (!int_arg(t, ++i, 0, 11, e.loop_start) || !int_arg(t, ++i, 0, 11, e.loop_end)) return false;
      if (e.loop_end < e.loop_start) return fail("envelope loop ends before it starts");
    } else {
      size_t comma = s.find(',');
      int tick = 0, value = 0;
      if (comma == std::string::npos || !to_int(s.substr(0, comma), tick) || !to_int(s.substr(comma + 1), value))
        return fail("'" + s + "' is not an envelope point TICK,VALUE");
      if (tick <= previous) return fail("envelope ticks must rise");
      if (value < 0 || value > 64 || tick > 65535) return fail("envelope values are 0..64");
      if (e.points.size() == 12) return fail("an envelope has at most 12 points");
      e.points.push_back({static_cast<uint16_t>(tick), static_cast<uint16_t>(value)});
      previous = tick;
    }
  }
  int count = static_cast<int>(e.points.size());
  if (count < 2) return fail("an envelope needs at least 2 points");
  if (e.sustain >= count || e.loop_end >= count) return fail("envelope point index beyond the last point");
  return true;
}

bool Parser::instrument_setting(const std::vector<Token>& t) {
  Instrument& in = song.instruments.back();
  SynthParams& p = synth;
  const std::string& k = t[0].text;
  auto word = [&](size_t i) { return i < t.size() ? t[i].text : std::string(); };
  if (k == "synth") {
    static const std::map<std::string, SynthKind> kinds = {
        {"tone", SynthKind::tone}, {"pluck", SynthKind::pluck}, {"fm", SynthKind::fm},   {"kick", SynthKind::kick},
        {"snare", SynthKind::snare}, {"hat", SynthKind::hat},   {"noise", SynthKind::noise}};
    auto it = kinds.find(word(1));
    if (it == kinds.end()) return fail("synth is one of tone pluck fm kick snare hat noise");
    p = SynthParams{};
    p.kind = it->second;
    switch (p.kind) {  // starting points a drum or noise sounds right with
      case SynthKind::kick: p.rate = 16726, p.length_ms = 350, p.decay_ms = 120, p.pitch = 150, p.tone = 48, p.sweep_ms = 30; break;
      case SynthKind::snare: p.length_ms = 250, p.decay_ms = 90, p.pitch = 240, p.tone = 180, p.sweep_ms = 10,
                             p.filter = Filter::highpass, p.cutoff = 1500; break;
      case SynthKind::hat: p.length_ms = 90, p.decay_ms = 25, p.pitch = 420, p.noise = 0.6,
                           p.filter = Filter::highpass, p.cutoff = 7000; break;
      case SynthKind::noise: p.length_ms = 1000, p.decay_ms = 0, p.filter = Filter::lowpass, p.cutoff = 2000; break;
      case SynthKind::pluck: p.length_ms = 800, p.decay_ms = 300; break;
      case SynthKind::fm: p.length_ms = 600, p.decay_ms = 150; break;
      default: break;
    }
    return true;
  }
  if (k == "wave") {
    static const std::map<std::string, Wave> waves = {{"saw", Wave::saw},       {"square", Wave::square},
                                                      {"pulse", Wave::pulse},   {"triangle", Wave::triangle},
                                                      {"sine", Wave::sine},     {"organ", Wave::organ}};
    auto it = waves.find(word(1));
    if (it == waves.end()) return fail("wave is one of saw square pulse triangle sine organ");
    p.wave = it->second;
    return true;
  }
  if (k == "filter") {
    static const std::map<std::string, Filter> filters = {
        {"none", Filter::none}, {"lp", Filter::lowpass}, {"hp", Filter::highpass}, {"bp", Filter::bandpass}};
    auto it = filters.find(word(1));
    if (it == filters.end()) return fail("filter is one of none lp hp bp, then a cutoff in Hz");
    p.filter = it->second;
    if (p.filter != Filter::none && !real_arg(t, 2, 20, 20000, p.cutoff)) return false;
    return t.size() < 4 || real_arg(t, 3, 0.1, 20, p.resonance);
  }
  if (k == "loop") {
    static const std::map<std::string, LoopMode> loops = {
        {"none", LoopMode::none}, {"forward", LoopMode::forward}, {"pingpong", LoopMode::pingpong}};
    auto it = loops.find(word(1));
    if (it == loops.end()) return fail("loop is none, forward or pingpong (then a start in ms for drums and noises)");
    p.loop = it->second;
    p.loop_given = true;
    return t.size() < 3 || real_arg(t, 2, 0, 60000, p.loop_start_ms);
  }
  if (k == "center") {
    p.center = note_number(word(1), 0) - 1;
    if (p.center < 0) return fail("center wants a note like C-4");
    return true;
  }
  if (k == "native") {
    p.native = note_number(word(1), 0) - 1;
    if (p.native < 0) return fail("native wants a note like C-4");
    return true;
  }
  if (k == "chorus") return int_arg(t, 1, 1, 8, p.voices) && int_arg(t, 2, 0, 64, p.spread);
  if (k == "venv") return envelope(t, in.volume_envelope);
  if (k == "penv") return envelope(t, in.panning_envelope);
  if (k == "vibrato") {
    int type = 0, sweep = 0, depth = 0, rate = 0;
    if (!int_arg(t, 1, 0, 3, type) || !int_arg(t, 2, 0, 255, sweep) || !int_arg(t, 3, 0, 15, depth) ||
        !int_arg(t, 4, 0, 63, rate))
      return false;
    in.vibrato_type = static_cast<uint8_t>(type), in.vibrato_sweep = static_cast<uint8_t>(sweep);
    in.vibrato_depth = static_cast<uint8_t>(depth), in.vibrato_rate = static_cast<uint8_t>(rate);
    return true;
  }
  int v = 0;
  if (k == "fadeout") return int_arg(t, 1, 0, 4095, v) && (in.fadeout = static_cast<uint16_t>(v), true);
  if (k == "volume") return int_arg(t, 1, 0, 64, v) && (in.sample.volume = static_cast<uint8_t>(v), true);
  if (k == "pan") return int_arg(t, 1, 0, 255, v) && (in.sample.pan = static_cast<uint8_t>(v), true);
  if (k == "bits") {
    if (!int_arg(t, 1, 8, 16, p.bits)) return false;
    return (p.bits == 8 || p.bits == 16) || fail("bits is 8 or 16");
  }
  if (k == "finetune") return int_arg(t, 1, -64, 64, p.finetune);
  if (k == "seed") return int_arg(t, 1, 0, 1 << 30, p.seed);
  if (k == "harmonics") return int_arg(t, 1, 1, 256, p.harmonics);
  if (k == "cycle") return int_arg(t, 1, 8, 4096, p.cycle);
  if (k == "cycles") return int_arg(t, 1, 1, 4096, p.cycles);
  if (k == "ratio") return int_arg(t, 1, 1, 16, p.ratio);
  if (k == "width") return real_arg(t, 1, 0.01, 0.99, p.width);
  if (k == "bright") return real_arg(t, 1, 0, 256, p.bright);
  if (k == "drive") return real_arg(t, 1, 0, 50, p.drive);
  if (k == "length") return real_arg(t, 1, 1, 20000, p.length_ms);
  if (k == "decay") return real_arg(t, 1, 0, 20000, p.decay_ms);
  if (k == "index") return real_arg(t, 1, 0, 50, p.index) && (t.size() < 3 || real_arg(t, 2, 0, 50, p.index_end));
  if (k == "pitch") return real_arg(t, 1, 1, 20000, p.pitch);
  if (k == "tone") return real_arg(t, 1, 1, 20000, p.tone);
  if (k == "sweep") return real_arg(t, 1, 0.1, 10000, p.sweep_ms);
  if (k == "noise") return real_arg(t, 1, 0, 1, p.noise);
  if (k == "rate") return real_arg(t, 1, 2000, 96000, p.rate);
  if (k == "gain") return real_arg(t, 1, 0.01, 1, p.gain);
  return fail("unknown instrument setting '" + k + "'");
}

}  // namespace xmc::reader
