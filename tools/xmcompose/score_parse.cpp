// Score reader. A score is line based: top-level keywords open blocks
// (instrument, phrase, pattern); the lines after a block keyword belong to it
// until the next top-level keyword. Every mistake stops the build with the
// file and line it was found on.
#include "score_parse.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "synth.h"

namespace xmc {
namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

// A cell as written, with what it actually said (a merge changes only that).
struct WrittenCell {
  Cell cell;
  bool has_note = false, has_instrument = false, has_volume = false, has_effect = false;
  int repeat = 1;
};

struct Phrase {
  std::vector<Cell> cells;
  int instrument = 0;  // default for notes without @
  int note = 0;        // what x stands for
};

enum class Block { none, instrument, phrase, pattern };

constexpr const char* kTopLevel[] = {"title", "channels", "speed", "tempo", "restart", "mix",
                                     "instrument", "phrase", "pattern", "order"};

bool is_top_level(const std::string& word) {
  return std::find(std::begin(kTopLevel), std::end(kTopLevel), word) != std::end(kTopLevel);
}

bool to_int(const std::string& s, int& v) {
  if (s.empty()) return false;
  size_t start = s[0] == '+' ? 1 : 0;
  auto [end, ec] = std::from_chars(s.data() + start, s.data() + s.size(), v);
  return ec == std::errc() && end == s.data() + s.size() && start < s.size();
}

bool to_double(const std::string& s, double& v) {
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && end == s.data() + s.size();
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "C-4", "C#4": XM note 1..96.
int note_number(const std::string& s, size_t at) {
  if (s.size() < at + 3) return 0;
  constexpr int semis[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
  char letter = s[at], sign = s[at + 1], octave = s[at + 2];
  if (letter < 'A' || letter > 'G' || (sign != '-' && sign != '#') || octave < '0' || octave > '7') return 0;
  int n = (octave - '0') * 12 + semis[letter - 'A'] + (sign == '#' ? 1 : 0);
  if (n > 95) return 0;
  return n + 1;
}

struct Parser {
  const std::string& file;
  Song& song;
  std::string& error;
  int line = 0;

  Block block = Block::none;
  std::map<std::string, int> instruments;  // id -> 1-based number
  std::map<std::string, Phrase> phrases;
  std::map<std::string, int> patterns;     // name -> index
  SynthParams synth;
  int instrument_line = 0;
  Phrase* phrase = nullptr;
  std::vector<size_t> groups;  // where each open "(" of the phrase began
  int mix = 100;               // percent applied to every volume at the end

  Parser(const std::string& f, Song& s, std::string& e) : file(f), song(s), error(e) {}

  bool fail(const std::string& message) {
    error = file + ":" + std::to_string(line) + ": " + message;
    return false;
  }

  bool tokenize(const std::string& text, std::vector<Token>& out) {
    size_t i = 0;
    while (i < text.size()) {
      unsigned char c = static_cast<unsigned char>(text[i]);
      if (c == '#') break;
      if (std::isspace(c)) { ++i; continue; }
      Token t;
      if (c == '"') {
        size_t close = text.find('"', i + 1);
        if (close == std::string::npos) return fail("unterminated quoted text");
        t.text = text.substr(i + 1, close - i - 1);
        t.quoted = true;
        i = close + 1;
      } else {
        size_t start = i;
        while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        t.text = text.substr(start, i - start);
      }
      out.push_back(t);
    }
    return true;
  }

  bool int_arg(const std::vector<Token>& t, size_t i, int lo, int hi, int& v) {
    if (i >= t.size()) return fail("'" + t[0].text + "' needs a number");
    if (!to_int(t[i].text, v)) return fail("'" + t[i].text + "' is not a whole number");
    if (v < lo || v > hi)
      return fail(t[0].text + " " + t[i].text + " is out of range " + std::to_string(lo) + ".." + std::to_string(hi));
    return true;
  }

  bool real_arg(const std::vector<Token>& t, size_t i, double lo, double hi, double& v) {
    if (i >= t.size()) return fail("'" + t[0].text + "' needs a number");
    if (!to_double(t[i].text, v)) return fail("'" + t[i].text + "' is not a number");
    if (v < lo || v > hi) return fail(t[0].text + " " + t[i].text + " is out of range");
    return true;
  }

  // ---- cells ---------------------------------------------------------------

  bool parse_cell(const std::string& s, const Phrase* context, WrittenCell& w) {
    size_t i = 0;
    if (s.compare(0, 2, "==") == 0) {
      w.cell.note = kKeyOff, w.has_note = true, i = 2;
    } else if (s[0] == '.') {
      i = 1;
    } else if (std::strchr("@:~!*", s[0])) {
      i = 0;  // modifiers alone: a cell without a note
    } else if (s[0] == 'x') {
      if (!context || !context->note) return fail("'x' needs a phrase with 'note'");
      w.cell.note = static_cast<uint8_t>(context->note), w.has_note = true, i = 1;
    } else {
      int n = note_number(s, 0);
      if (!n) return fail("'" + s + "' is not a note (like C-4 or F#3), '.', 'x' or '=='");
      w.cell.note = static_cast<uint8_t>(n), w.has_note = true, i = 3;
    }
    while (i < s.size()) {
      char m = s[i++];
      size_t start = i;
      if (m == '@') {
        while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_')) ++i;
        std::string name = s.substr(start, i - start);
        auto it = instruments.find(name);
        if (it == instruments.end()) return fail("unknown instrument '" + name + "' in '" + s + "'");
        w.cell.instrument = static_cast<uint8_t>(it->second), w.has_instrument = true;
      } else if (m == ':' || m == '*') {
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
        int v = 0;
        if (!to_int(s.substr(start, i - start), v)) return fail("'" + s + "': a number must follow '" + m + "'");
        if (m == ':') {
          if (v > 64) return fail("'" + s + "': volume above 64");
          w.cell.volume = static_cast<uint8_t>(0x10 + v), w.has_volume = true;
        } else {
          if (v < 1 || v > 256) return fail("'" + s + "': repeat count must be 1..256");
          w.repeat = v;
        }
      } else if (m == '~') {
        if (i + 2 > s.size() || hex_digit(s[i]) < 0 || hex_digit(s[i + 1]) < 0)
          return fail("'" + s + "': two hex digits must follow '~'");
        w.cell.volume = static_cast<uint8_t>(hex_digit(s[i]) * 16 + hex_digit(s[i + 1]));
        w.has_volume = true, i += 2;
      } else if (m == '!') {
        if (i + 3 > s.size() || hex_digit(s[i + 1]) < 0 || hex_digit(s[i + 2]) < 0)
          return fail("'" + s + "': an effect is one letter or digit and two hex digits, like !A0F");
        char e = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i])));
        int number = std::isdigit(static_cast<unsigned char>(e)) ? e - '0' : (e >= 'A' && e <= 'Z' ? e - 'A' + 10 : -1);
        if (number < 0 || number > 35) return fail("'" + s + "': unknown effect '" + e + "'");
        w.cell.effect = static_cast<uint8_t>(number);
        w.cell.param = static_cast<uint8_t>(hex_digit(s[i + 1]) * 16 + hex_digit(s[i + 2]));
        w.has_effect = true, i += 3;
      } else {
        return fail("'" + s + "': unexpected '" + std::string(1, m) + "' (modifiers are @instrument :volume ~hex !effect *repeat)");
      }
    }
    if (context && w.has_note && w.cell.note != kKeyOff && !w.has_instrument && context->instrument)
      w.cell.instrument = static_cast<uint8_t>(context->instrument), w.has_instrument = true;
    return true;
  }

  // ---- top level -----------------------------------------------------------

  bool end_block() {
    if (block == Block::instrument) {
      std::string why;
      if (!synthesise(synth, song.instruments.back().sample, why)) {
        line = instrument_line;
        return fail("instrument '" + song.instruments.back().id + "': " + why);
      }
    }
    if (block == Block::phrase && !groups.empty()) return fail("'(' without ')' in the phrase above");
    if (block == Block::phrase && phrase->cells.empty()) return fail("phrase without cells");
    block = Block::none;
    phrase = nullptr;
    return true;
  }

  bool top_level(const std::vector<Token>& t) {
    const std::string& k = t[0].text;
    if (k == "title") {
      if (t.size() != 2 || !t[1].quoted) return fail("title wants one quoted text");
      if (t[1].text.empty() || t[1].text.size() > 20) return fail("the title must be 1..20 characters");
      song.title = t[1].text;
      return true;
    }
    if (k == "channels") return int_arg(t, 1, 2, 32, song.channels);
    if (k == "speed") return int_arg(t, 1, 1, 31, song.speed);
    if (k == "tempo") return int_arg(t, 1, 32, 255, song.tempo);
    if (k == "restart") return int_arg(t, 1, 0, 255, song.restart);
    if (k == "mix") return int_arg(t, 1, 1, 400, mix);
    if (k == "order") {
      for (size_t i = 1; i < t.size(); ++i) {
        auto it = patterns.find(t[i].text);
        if (it == patterns.end()) return fail("unknown pattern '" + t[i].text + "'");
        if (song.orders.size() == 256) return fail("more than 256 orders");
        song.orders.push_back(it->second);
      }
      return true;
    }
    if (t.size() < 2) return fail("'" + k + "' needs a name");
    const std::string& name = t[1].text;
    if (k == "instrument") {
      if (instruments.count(name)) return fail("instrument '" + name + "' is already defined");
      if (song.instruments.size() == 128) return fail("more than 128 instruments");
      if (t.size() != 3 || !t[2].quoted) return fail("instrument wants a name and a quoted title");
      if (t[2].text.size() > 22) return fail("instrument titles have at most 22 characters");
      Instrument in;
      in.id = name;
      in.title = t[2].text;
      song.instruments.push_back(in);
      instruments[name] = static_cast<int>(song.instruments.size());
      synth = SynthParams{};
      instrument_line = line;
      block = Block::instrument;
      return true;
    }
    if (k == "phrase") {
      if (phrases.count(name)) return fail("phrase '" + name + "' is already defined");
      Phrase p;
      for (size_t i = 2; i < t.size(); i += 2) {
        if (i + 1 >= t.size()) return fail("'" + t[i].text + "' needs a value");
        if (t[i].text == "ins") {
          auto it = instruments.find(t[i + 1].text);
          if (it == instruments.end()) return fail("unknown instrument '" + t[i + 1].text + "'");
          p.instrument = it->second;
        } else if (t[i].text == "note") {
          p.note = note_number(t[i + 1].text, 0);
          if (!p.note || t[i + 1].text.size() != 3) return fail("'" + t[i + 1].text + "' is not a note");
        } else {
          return fail("phrase options are 'ins NAME' and 'note NOTE', not '" + t[i].text + "'");
        }
      }
      phrase = &(phrases[name] = p);
      block = Block::phrase;
      return true;
    }
    // pattern NAME ROWS [from OTHER]
    if (patterns.count(name)) return fail("pattern '" + name + "' is already defined");
    Pattern p;
    p.name = name;
    if (!int_arg(t, 2, 1, 256, p.rows)) return false;
    p.cells.assign(static_cast<size_t>(p.rows) * song.channels, Cell{});
    if (t.size() == 5 && t[3].text == "from") {
      auto it = patterns.find(t[4].text);
      if (it == patterns.end()) return fail("unknown pattern '" + t[4].text + "'");
      const Pattern& from = song.patterns[it->second];
      if (from.rows != p.rows) return fail("'" + name + "' and '" + from.name + "' differ in rows");
      p.cells = from.cells;
    } else if (t.size() != 3) {
      return fail("pattern wants a name, a row count and optionally 'from PATTERN'");
    }
    if (song.patterns.size() == 256) return fail("more than 256 patterns");
    patterns[name] = static_cast<int>(song.patterns.size());
    song.patterns.push_back(p);
    block = Block::pattern;
    return true;
  }

  // ---- instruments -----------------------------------------------------------

  bool envelope(const std::vector<Token>& t, Envelope& e) {
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

  bool instrument_line_(const std::vector<Token>& t) {
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

  // ---- patterns ------------------------------------------------------------

  // "3 >2 %50 &C0 bassA bassA+5": channel, shift, volume share, pan, phrases with transposes.
  bool pattern_line(const std::vector<Token>& t) {
    Pattern& p = song.patterns.back();
    if (t[0].text == "at") {
      int row = 0, channel = 0;
      if (t.size() != 4) return fail("'at' wants ROW CHANNEL CELL");
      if (!int_arg(t, 1, 0, p.rows - 1, row) || !int_arg(t, 2, 1, song.channels, channel)) return false;
      WrittenCell w;
      if (!parse_cell(t[3].text, nullptr, w)) return false;
      Cell& c = p.cells[static_cast<size_t>(row) * song.channels + channel - 1];
      if (w.has_note) c.note = w.cell.note;
      if (w.has_instrument) c.instrument = w.cell.instrument;
      if (w.has_volume) c.volume = w.cell.volume;
      if (w.has_effect) c.effect = w.cell.effect, c.param = w.cell.param;
      return true;
    }
    int channel = 0;
    if (!to_int(t[0].text, channel)) return fail("pattern lines start with a channel number or 'at', not '" + t[0].text + "'");
    if (channel < 1 || channel > song.channels)
      return fail("channel " + t[0].text + " is outside 1.." + std::to_string(song.channels));
    int shift = 0, share = 100, pan = -1;
    std::vector<Cell> line_cells;
    bool clear = false;
    for (size_t i = 1; i < t.size(); ++i) {
      const std::string& s = t[i].text;
      if (s == "-") { clear = true; continue; }
      if (s[0] == '>') {
        if (!to_int(s.substr(1), shift) || shift < 0 || shift >= p.rows) return fail("'" + s + "': shift must be 0..rows-1");
        continue;
      }
      if (s[0] == '&') {
        if (s.size() != 3 || hex_digit(s[1]) < 0 || hex_digit(s[2]) < 0) return fail("'" + s + "': a pan is & and two hex digits");
        pan = hex_digit(s[1]) * 16 + hex_digit(s[2]);
        continue;
      }
      if (s[0] == '%') {
        if (!to_int(s.substr(1), share) || share < 0 || share > 400) return fail("'" + s + "': volume share must be 0..400");
        continue;
      }
      size_t sign = s.find_first_of("+-");
      std::string name = s.substr(0, sign);
      int transpose = 0;
      if (sign != std::string::npos && !to_int(s.substr(sign), transpose))
        return fail("'" + s + "': a transpose is +N or -N semitones");
      auto it = phrases.find(name);
      if (it == phrases.end()) return fail("unknown phrase '" + name + "'");
      for (Cell c : it->second.cells) {
        if (c.note >= 1 && c.note <= 96) {
          int n = c.note + transpose;
          if (n < 1 || n > 96) return fail("'" + s + "' moves a note outside C-0..B-7");
          c.note = static_cast<uint8_t>(n);
        }
        line_cells.push_back(c);
      }
    }
    if (clear && !line_cells.empty()) return fail("'-' clears a channel and takes no phrases");
    if (!clear && line_cells.empty()) return fail("channel line without phrases");
    // an instrument resets the panning, so the pan rides on every note without an effect
    for (Cell& c : line_cells)
      if (pan >= 0 && c.note >= 1 && c.note <= 96 && c.effect == 0 && c.param == 0)
        c.effect = 8, c.param = static_cast<uint8_t>(pan);
    for (Cell& c : line_cells) {
      if (share == 100) break;
      bool set = c.volume >= 0x10 && c.volume <= 0x50;
      if (!set && !(c.note >= 1 && c.note <= 96 && c.volume == 0)) continue;
      int base = set ? c.volume - 0x10 : (c.instrument ? song.instruments[c.instrument - 1].sample.volume : 64);
      c.volume = static_cast<uint8_t>(0x10 + std::min(64, base * share / 100));
    }
    for (int r = 0; r < p.rows; ++r) {
      Cell& c = p.cells[static_cast<size_t>(r) * song.channels + channel - 1];
      if (clear || r < shift)
        c = Cell{};
      else
        c = line_cells[(r - shift) % line_cells.size()];
    }
    return true;
  }

  bool phrase_line(const std::vector<Token>& t) {
    for (const Token& tok : t) {
      if (tok.text == "|") continue;  // bar lines are for the reader
      if (tok.text == "(") {
        groups.push_back(phrase->cells.size());
        continue;
      }
      if (tok.text[0] == ')') {
        int times = 1;
        if (groups.empty()) return fail("')' without '('");
        if (tok.text.size() > 1 && (tok.text[1] != '*' || !to_int(tok.text.substr(2), times) || times < 1 || times > 256))
          return fail("'" + tok.text + "': a group closes with ')' or ')*N'");
        std::vector<Cell> group(phrase->cells.begin() + groups.back(), phrase->cells.end());
        groups.pop_back();
        for (int i = 1; i < times && phrase->cells.size() <= 1024; ++i)
          phrase->cells.insert(phrase->cells.end(), group.begin(), group.end());
        if (phrase->cells.size() > 1024) return fail("phrase longer than 1024 rows");
        continue;
      }
      WrittenCell w;
      if (!parse_cell(tok.text, phrase, w)) return false;
      phrase->cells.insert(phrase->cells.end(), w.repeat, w.cell);
      if (phrase->cells.size() > 1024) return fail("phrase longer than 1024 rows");
    }
    return true;
  }

  // One fader for the whole song: instrument volumes and set-volume cells scale
  // together, so the balance written in the score stays.
  void apply_mix() {
    auto scale = [&](int v) { return std::min(64, (v * mix + 50) / 100); };
    for (Instrument& in : song.instruments) in.sample.volume = static_cast<uint8_t>(scale(in.sample.volume));
    for (Pattern& p : song.patterns)
      for (Cell& c : p.cells) {
        if (c.volume >= 0x10 && c.volume <= 0x50) c.volume = static_cast<uint8_t>(0x10 + scale(c.volume - 0x10));
        if (c.effect == 0xC) c.param = static_cast<uint8_t>(scale(std::min<int>(c.param, 64)));
      }
  }

  bool finish() {
    if (!end_block()) return false;
    if (song.title.empty()) return fail("the score has no title");
    if (song.orders.empty()) return fail("the score has no order");
    if (song.restart >= static_cast<int>(song.orders.size())) return fail("restart lies beyond the last order");
    if (song.instruments.empty()) return fail("the score has no instruments");
    apply_mix();
    return true;
  }

  bool run(const std::string& text) {
    std::istringstream in(text);
    std::string raw;
    bool channels_fixed = false;
    while (std::getline(in, raw)) {
      ++line;
      std::vector<Token> t;
      if (!tokenize(raw, t)) return false;
      if (t.empty()) continue;
      if (!t[0].quoted && is_top_level(t[0].text)) {
        if (!end_block()) return false;
        if (t[0].text == "channels" && channels_fixed) return fail("channels must come before the first pattern");
        if (t[0].text == "pattern") channels_fixed = true;
        if (!top_level(t)) return false;
        continue;
      }
      bool ok = block == Block::instrument ? instrument_line_(t)
                : block == Block::phrase   ? phrase_line(t)
                : block == Block::pattern  ? pattern_line(t)
                                           : fail("unknown keyword '" + t[0].text + "'");
      if (!ok) return false;
    }
    return finish();
  }
};

}  // namespace

bool parse_score(const std::string& text, const std::string& file_name, Song& song, std::string& error) {
  song = Song{};
  Parser parser{file_name, song, error};
  return parser.run(text);
}

bool load_score(const std::string& path, Song& song, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot read the score";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return parse_score(text.str(), path, song, error);
}

}  // namespace xmc
