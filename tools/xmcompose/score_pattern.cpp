// Pattern blocks: channel lines of phrases, and single cells put in with "at".
#include <algorithm>

#include "score_reader.h"

namespace xmc::reader {

// "3 >2 %50 &C0 bassA bassA+5": channel, shift, volume share, pan, phrases with transposes.
bool Parser::pattern_line(const std::vector<Token>& t) {
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

}  // namespace xmc::reader
