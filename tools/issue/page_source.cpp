// The page markup parser. Each source line is one page line; braces hold markup.
#include "tools/issue/page_source.h"

#include <cstdio>

#include "tools/issue/cp437.h"
#include "tools/issue/issue_layout.h"
#include "tools/issue/utf8.h"

namespace {

bool is_colour_code(std::string_view token) {
  if (token.size() != 1) return false;
  char c = token[0];
  return (c >= '1' && c <= '9') || (c >= 'A' && c <= 'V');
}

std::string describe(char32_t c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", unsigned(c));
  return buffer;
}

struct LineState {
  char colour = '1';
  char font = '1';
  bool has_band = false;
};

// Applies one {...} group, reporting every token it cannot use.
void apply_markup(std::string_view inner, LineState& state, PageLine& out, const std::string& file, int line_number,
                  Problems& problems) {
  auto report = [&](std::string message) { problems.push_back({file, line_number, std::move(message)}); };
  if (inner.find_first_not_of(' ') == std::string_view::npos) {
    report("empty markup {}");
    return;
  }
  size_t pos = 0;
  while (pos < inner.size()) {
    while (pos < inner.size() && inner[pos] == ' ') ++pos;
    if (pos >= inner.size()) break;
    size_t end = inner.find(' ', pos);
    if (end == std::string_view::npos) end = inner.size();
    std::string_view token = inner.substr(pos, end - pos);
    pos = end;
    if (is_colour_code(token)) {
      state.colour = token[0];
    } else if (token == "f0" || token == "f1" || token == "f2") {
      state.font = token[1];
    } else if (token == "/") {
      state.colour = '1';
      state.font = '1';
    } else if (token == "band") {
      while (pos < inner.size() && inner[pos] == ' ') ++pos;
      size_t value_end = inner.find(' ', pos);
      if (value_end == std::string_view::npos) value_end = inner.size();
      std::string_view value = inner.substr(pos, value_end - pos);
      pos = value_end;
      if (value.size() != 1 || value[0] < '0' || value[0] > '8') {
        report("band style '" + std::string(value) + "' outside 0..8");
      } else if (state.has_band) {
        report("a second band on one line");
      } else {
        state.has_band = true;
        out.band = value[0];
      }
    } else if (token.size() == 2 && token[0] == 'f') {
      report("font code '" + std::string(token) + "' outside f0, f1, f2");
    } else if (token.size() == 1) {
      report("colour code '" + std::string(token) + "' outside the alphabet 1..9, A..V");
    } else {
      report("unknown markup '" + std::string(token) + "' (colours 1..9 A..V, fonts f0 f1 f2, /, band 0..8)");
    }
  }
}

void parse_line(std::string_view source, const std::string& file, int line_number, PageLine& out, Problems& problems) {
  auto report = [&](std::string message) { problems.push_back({file, line_number, std::move(message)}); };
  LineState state;
  size_t pos = 0;
  bool bad_utf8_reported = false;
  while (pos < source.size()) {
    if (source[pos] == '{') {
      if (pos + 1 < source.size() && source[pos + 1] == '{') {
        out.text += '{';
        out.colours += state.colour;
        out.fonts += state.font;
        pos += 2;
        continue;
      }
      size_t close = source.find('}', pos + 1);
      if (close == std::string_view::npos) {
        report("markup '{' is never closed (write {{ for a literal brace)");
        return;
      }
      apply_markup(source.substr(pos + 1, close - pos - 1), state, out, file, line_number, problems);
      pos = close + 1;
      continue;
    }
    char32_t c;
    if (!utf8_next(source, pos, c)) {
      if (!bad_utf8_reported) report("invalid UTF-8");
      bad_utf8_reported = true;
      continue;
    }
    if (c == '\t') {
      report("tab character (use spaces)");
      continue;
    }
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) {
      report("control character " + describe(c));
      continue;
    }
    int code = cp437_from_unicode(c);
    if (code < 0) {
      report("character " + describe(c) + " has no code in code page 437");
      continue;
    }
    if (code < 32) {
      report("character " + describe(c) + " (CP437 code " + std::to_string(code) +
             ") has no cell in the page font, which holds codes 32..255");
      continue;
    }
    out.text += char(code);
    out.colours += state.colour;
    out.fonts += state.font;
  }
  if (out.text.size() > size_t(page_columns))
    report("line is " + std::to_string(out.text.size()) + " columns wide, more than " + std::to_string(page_columns));
  if (out.text.compare(0, 5, "<END>") == 0) report("line begins with <END>, which would end the page here");
}

}  // namespace

std::vector<std::string_view> split_source_lines(std::string_view content) {
  if (content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    size_t next = end == std::string_view::npos ? content.size() : end + 1;
    if (end == std::string_view::npos) end = content.size();
    std::string_view line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = next;
  }
  return lines;
}

void parse_page(const std::string& file, std::string_view content, std::vector<PageLine>& lines, Problems& problems) {
  std::vector<std::string_view> source_lines = split_source_lines(content);
  lines.assign(source_lines.size(), PageLine{});
  for (size_t i = 0; i < source_lines.size(); ++i) parse_line(source_lines[i], file, int(i) + 1, lines[i], problems);
}
