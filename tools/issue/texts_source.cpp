// The texts.txt parser: settings, quoting, the key table and the counts.
#include "tools/issue/texts_source.h"

#include <cstdio>
#include <map>

#include "tools/issue/cp437.h"
#include "tools/issue/issue_layout.h"
#include "tools/issue/page_source.h"
#include "tools/issue/utf8.h"

namespace {

// Unicode inside the quotes to CP437 bytes.
bool to_cp437(std::string_view text, std::string& out, std::string& error) {
  size_t pos = 0;
  while (pos < text.size()) {
    char32_t c;
    if (!utf8_next(text, pos, c)) {
      error = "invalid UTF-8";
      return false;
    }
    int code = cp437_from_unicode(c);
    char buffer[64];
    if (c == '\t' || c < 0x20 || (c >= 0x7F && c < 0xA0)) {
      std::snprintf(buffer, sizeof buffer, "control character U+%04X", unsigned(c));
      error = buffer;
      return false;
    }
    if (code < 32) {
      std::snprintf(buffer, sizeof buffer, "character U+%04X has no drawable code in code page 437", unsigned(c));
      error = buffer;
      return false;
    }
    out += char(code);
  }
  return true;
}

// Parses `key = "text"`; false with a reason when the line is malformed.
bool split_setting(std::string_view line, std::string& key, std::string& value, std::string& error) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) {
    error = "expected key = \"text\"";
    return false;
  }
  std::string_view k = line.substr(0, eq);
  while (!k.empty() && k.back() == ' ') k.remove_suffix(1);
  while (!k.empty() && k.front() == ' ') k.remove_prefix(1);
  if (k.empty()) {
    error = "missing key before '='";
    return false;
  }
  key = std::string(k);
  size_t pos = eq + 1;
  while (pos < line.size() && line[pos] == ' ') ++pos;
  if (pos >= line.size() || line[pos] != '"') {
    error = "the text must be in double quotes";
    return false;
  }
  ++pos;
  value.clear();
  for (;;) {
    if (pos >= line.size()) {
      error = "the closing quote is missing";
      return false;
    }
    char c = line[pos];
    if (c == '"') break;
    if (c == '\\' && pos + 1 < line.size() && (line[pos + 1] == '"' || line[pos + 1] == '\\')) {
      value += line[pos + 1];
      pos += 2;
      continue;
    }
    value += c;
    ++pos;
  }
  ++pos;
  while (pos < line.size() && line[pos] == ' ') ++pos;
  if (pos < line.size()) {
    error = "text after the closing quote";
    return false;
  }
  return true;
}

// "menu_label.7" -> ("menu_label", 7); no dot gives index 0; a bad index -1.
std::pair<std::string, int> split_key(const std::string& key) {
  size_t dot = key.find('.');
  if (dot == std::string::npos) return {key, 0};
  std::string digits = key.substr(dot + 1);
  if (digits.empty() || digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos)
    return {key.substr(0, dot), -1};
  return {key.substr(0, dot), std::stoi(digits)};
}

}  // namespace

void parse_texts(const std::string& file, std::string_view content, IssueTexts& texts, Problems& problems) {
  struct Slot {
    int count;  // indexed keys 1..count; 0 for a single key; -1 for a repeated key
  };
  const std::map<std::string, Slot> keys = {
      {"menu_header", {0}},        {"menu_label", {menu_entries}},  {"menu_visible", {menu_entries}},
      {"credit_line", {credit_line_count}}, {"scroller_lead", {0}}, {"scroller_piece", {-1}},
      {"module_title", {module_count}},
  };
  std::map<std::string, int> seen;  // full key -> line
  std::vector<std::string_view> lines = split_source_lines(content);
  for (size_t i = 0; i < lines.size(); ++i) {
    int line_number = int(i) + 1;
    auto report = [&](std::string message) { problems.push_back({file, line_number, std::move(message)}); };
    std::string_view line = lines[i];
    size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos || line[first] == '#') continue;
    std::string key, raw, error;
    if (!split_setting(line, key, raw, error)) {
      report(error);
      continue;
    }
    auto [name, index] = split_key(key);
    auto slot = keys.find(name);
    if (slot == keys.end() || index < 0 || (slot->second.count == 0 && index != 0) ||
        (slot->second.count == -1 && index != 0) || (slot->second.count > 0 && (index < 1 || index > slot->second.count))) {
      report("unknown key '" + key + "'");
      continue;
    }
    if (slot->second.count != -1) {
      auto [it, fresh] = seen.emplace(key, line_number);
      if (!fresh) {
        report("'" + key + "' is set again (first on line " + std::to_string(it->second) + ")");
        continue;
      }
    }
    std::string text;
    if (!to_cp437(raw, text, error)) {
      report(error);
      continue;
    }
    if (name == "menu_header") {
      if (int(text.size()) > menu_header_columns)
        report("menu header is " + std::to_string(text.size()) + " characters, wider than the menu (" +
               std::to_string(menu_header_columns) + ")");
      texts.menu_header = text;
    } else if (name == "menu_label") {
      if (int(text.size()) > menu_label_columns)
        report("menu label is " + std::to_string(text.size()) + " characters, wider than its menu column (" +
               std::to_string(menu_label_columns) + ")");
      texts.menu_labels[size_t(index)] = text;
    } else if (name == "menu_visible") {
      if (text != "0" && text != "1") report("menu_visible must be \"0\" or \"1\"");
      texts.menu_visible[size_t(index)] = text == "1" ? 1 : 0;
    } else if (name == "credit_line") {
      texts.credit_lines[size_t(index)] = text;
    } else if (name == "scroller_lead") {
      if (text.find_first_not_of(' ') != std::string::npos) report("scroller_lead may hold only spaces");
      texts.scroller_lead = text;
    } else if (name == "scroller_piece") {
      texts.scroller_pieces.push_back(text);
    } else if (name == "module_title") {
      texts.module_titles[size_t(index)] = text;
    }
  }
  int last = int(lines.size()) > 0 ? int(lines.size()) : 1;
  auto require = [&](const std::string& key) {
    if (!seen.count(key)) problems.push_back({file, last, "'" + key + "' is missing"});
  };
  require("menu_header");
  require("scroller_lead");
  for (int i = 1; i <= menu_entries; ++i) {
    require("menu_label." + std::to_string(i));
    require("menu_visible." + std::to_string(i));
  }
  for (int i = 1; i <= credit_line_count; ++i) require("credit_line." + std::to_string(i));
  for (int i = 1; i <= module_count; ++i) require("module_title." + std::to_string(i));
  if (int(texts.scroller_pieces.size()) != scroller_piece_count)
    problems.push_back({file, last, "there are " + std::to_string(texts.scroller_pieces.size()) +
                                        " scroller_piece lines, the scroller takes " +
                                        std::to_string(scroller_piece_count)});
}
