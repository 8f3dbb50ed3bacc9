// Score reader. A score is line based: top-level keywords open blocks
// (instrument, phrase, pattern); the lines after a block keyword belong to it
// until the next top-level keyword. Every mistake stops the build with the
// file and line it was found on.
#include "score_parse.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "score_reader.h"

namespace xmc {
namespace reader {
namespace {

constexpr const char* kTopLevel[] = {"title", "tracker", "channels", "speed", "tempo", "restart",
                                     "mix", "instrument", "phrase", "pattern", "order"};

bool is_top_level(const std::string& word) {
  return std::find(std::begin(kTopLevel), std::end(kTopLevel), word) != std::end(kTopLevel);
}

}  // namespace

bool Parser::end_block() {
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

bool Parser::top_level(const std::vector<Token>& t) {
  const std::string& k = t[0].text;
  if (k == "title") {
    if (t.size() != 2 || !t[1].quoted) return fail("title wants one quoted text");
    if (t[1].text.empty() || t[1].text.size() > 20) return fail("the title must be 1..20 characters");
    song.title = t[1].text;
    return true;
  }
  if (k == "tracker") {
    if (t.size() != 2 || !t[1].quoted) return fail("tracker wants one quoted text");
    if (t[1].text.empty() || t[1].text.size() > 20) return fail("the tracker name must be 1..20 characters");
    song.tracker = t[1].text;
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

// One fader for the whole song: instrument volumes and set-volume cells scale
// together, so the balance written in the score stays.
void Parser::apply_mix() {
  auto scale = [&](int v) { return std::min(64, (v * mix + 50) / 100); };
  for (Instrument& in : song.instruments) in.sample.volume = static_cast<uint8_t>(scale(in.sample.volume));
  for (Pattern& p : song.patterns)
    for (Cell& c : p.cells) {
      if (c.volume >= 0x10 && c.volume <= 0x50) c.volume = static_cast<uint8_t>(0x10 + scale(c.volume - 0x10));
      if (c.effect == 0xC) c.param = static_cast<uint8_t>(scale(std::min<int>(c.param, 64)));
    }
}

bool Parser::finish() {
  if (!end_block()) return false;
  if (song.title.empty()) return fail("the score has no title");
  if (song.orders.empty()) return fail("the score has no order");
  if (song.restart >= static_cast<int>(song.orders.size())) return fail("restart lies beyond the last order");
  if (song.instruments.empty()) return fail("the score has no instruments");
  apply_mix();
  return true;
}

bool Parser::run(const std::string& text) {
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
    bool ok = block == Block::instrument ? instrument_setting(t)
              : block == Block::phrase   ? phrase_line(t)
              : block == Block::pattern  ? pattern_line(t)
                                         : fail("unknown keyword '" + t[0].text + "'");
    if (!ok) return false;
  }
  return finish();
}

}  // namespace reader

bool parse_score(const std::string& text, const std::string& file_name, Song& song, std::string& error) {
  song = Song{};
  reader::Parser parser{file_name, song, error};
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
