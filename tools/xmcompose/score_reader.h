// The score reader's working state, shared by the files that read the parts of a
// score: score_text.cpp (tokens, cells, phrases), score_instrument.cpp,
// score_pattern.cpp and score_parse.cpp (the top level).
#pragma once
#include <map>
#include <string>
#include <vector>

#include "score.h"
#include "synth.h"

namespace xmc::reader {

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

bool to_int(const std::string& s, int& v);
bool to_double(const std::string& s, double& v);
int hex_digit(char c);
int note_number(const std::string& s, size_t at);  // "C-4", "C#4": XM note 1..96, 0 if not a note

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

  bool fail(const std::string& message);
  bool tokenize(const std::string& text, std::vector<Token>& out);
  bool int_arg(const std::vector<Token>& t, size_t i, int lo, int hi, int& v);
  bool real_arg(const std::vector<Token>& t, size_t i, double lo, double hi, double& v);
  bool parse_cell(const std::string& s, const Phrase* context, WrittenCell& w);
  bool end_block();
  bool top_level(const std::vector<Token>& t);
  bool envelope(const std::vector<Token>& t, Envelope& e);
  bool instrument_setting(const std::vector<Token>& t);
  bool pattern_line(const std::vector<Token>& t);
  bool phrase_line(const std::vector<Token>& t);
  void apply_mix();
  bool finish();
  bool run(const std::string& text);
};

}  // namespace xmc::reader
