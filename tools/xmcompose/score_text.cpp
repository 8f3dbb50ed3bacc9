// Score text: tokens, number and note words, cells and phrase bodies.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>

#include "score_reader.h"

namespace xmc::reader {

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

bool Parser::fail(const std::string& message) {
  error = file + ":" + std::to_string(line) + ": " + message;
  return false;
}

bool Parser::tokenize(const std::string& text, std::vector<Token>& out) {
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

bool Parser::int_arg(const std::vector<Token>& t, size_t i, int lo, int hi, int& v) {
  if (i >= t.size()) return fail("'" + t[0].text + "' needs a number");
  if (!to_int(t[i].text, v)) return fail("'" + t[i].text + "' is not a whole number");
  if (v < lo || v > hi)
    return fail(t[0].text + " " + t[i].text + " is out of range " + std::to_string(lo) + ".." + std::to_string(hi));
  return true;
}

bool Parser::real_arg(const std::vector<Token>& t, size_t i, double lo, double hi, double& v) {
  if (i >= t.size()) return fail("'" + t[0].text + "' needs a number");
  if (!to_double(t[i].text, v)) return fail("'" + t[i].text + "' is not a number");
  if (v < lo || v > hi) return fail(t[0].text + " " + t[i].text + " is out of range");
  return true;
}

bool Parser::parse_cell(const std::string& s, const Phrase* context, WrittenCell& w) {
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

bool Parser::phrase_line(const std::vector<Token>& t) {
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

}  // namespace xmc::reader
