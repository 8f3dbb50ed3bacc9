#include "tools/chartgen/layout.h"

#include <algorithm>

namespace chartgen {

int text_width(std::string_view s) {
  int n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

std::string sort_key(std::string_view s) {
  // Latin-1 letters U+00C0..U+00FF, folded to their base letter ('s' for sharp s).
  static constexpr std::string_view folded = "aaaaaaaceeeeiiiidnooooo/ouuuuyts"
                                             "aaaaaaaceeeeiiiidnooooo/ouuuuyty";
  std::string key;
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      key += char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    } else if ((c == 0xC3) && i + 1 < s.size()) {
      unsigned code = 0xC0 + (static_cast<unsigned char>(s[++i]) & 0x3F);
      key += folded[code - 0xC0];
      if (code == 0xDF) key += 's';
    } else {
      key += char(c);  // anything else sorts after the letters, as it stands
    }
  }
  return key;
}

Line& Line::put(char c, std::string_view s, int f) {
  if (s.empty()) return *this;
  if (c != colour || f != font) {
    text += '{';
    if (c != colour) text += c;
    if (f != font) {
      if (c != colour) text += ' ';
      text += f == 2 ? "f2" : "f1";
    }
    text += '}';
    colour = c;
    font = f;
  }
  for (char ch : s) {
    if (ch == '{') text += '{';
    text += ch;
  }
  width += text_width(s);
  return *this;
}

Line& Line::pad(int to_width) {
  if (width < to_width) {
    // Spaces show nothing in any colour; keep the current one to save markup.
    text.append(size_t(to_width - width), ' ');
    width = to_width;
  }
  return *this;
}

Line& Line::fill(char c, std::string_view unit, int to_width) {
  std::string run;
  int w = text_width(unit);
  for (int at = width; at + w <= to_width; at += w) run += unit;
  return put(c, run);
}

std::string band_line(int style) { return "{band " + std::to_string(style) + "}"; }

bool render_table(const Table& t, std::vector<std::string>& out, std::string& error) {
  std::vector<int> w;
  for (const Column& c : t.columns) w.push_back(std::max(c.min_width, text_width(c.header)));
  for (const auto& row : t.rows)
    for (size_t i = 0; i < row.size() && i < w.size(); ++i) w[i] = std::max(w[i], text_width(row[i].text));
  int total = 1;
  for (int cw : w) total += cw + 3;
  if (total > page_columns) {
    error = "table is " + std::to_string(total) + " columns wide, more than " + std::to_string(page_columns);
    return false;
  }
  int indent = t.indent >= 0 ? t.indent : (page_columns - total) / 2;

  auto rule = [&](std::string_view left, std::string_view run, std::string_view cross, std::string_view right) {
    Line l;
    l.pad(indent);
    std::string s(left);
    for (size_t i = 0; i < w.size(); ++i) {
      for (int k = 0; k < w[i] + 2; ++k) s += run;
      s += i + 1 < w.size() ? cross : right;
    }
    l.put(t.frame, s);
    out.push_back(l.text);
  };
  auto row = [&](const std::vector<Cell>& cells, bool header) {
    Line l;
    l.pad(indent);
    l.put(t.frame, "║");
    for (size_t i = 0; i < w.size(); ++i) {
      std::string_view text = header ? std::string_view(t.columns[i].header) : i < cells.size() ? std::string_view(cells[i].text) : "";
      char colour = header ? t.head : i < cells.size() ? cells[i].colour : '2';
      int gap = w[i] - text_width(text);
      int start = l.width + 1;
      if (t.columns[i].right) start += gap;
      l.pad(start);
      l.put(colour, text);
      l.pad(start - (t.columns[i].right ? gap : 0) + w[i] + 1);
      l.put(t.frame, i + 1 < w.size() ? "│" : "║");
    }
    out.push_back(l.text);
  };

  rule("╔", "═", "╤", "╗");
  row({}, true);
  rule("╟", "─", "┼", "╢");
  for (size_t r = 0; r < t.rows.size(); ++r) {
    if (std::find(t.rule_before.begin(), t.rule_before.end(), r) != t.rule_before.end()) rule("╟", "─", "┼", "╢");
    row(t.rows[r], false);
  }
  rule("╚", "═", "╧", "╝");
  return true;
}

}  // namespace chartgen
