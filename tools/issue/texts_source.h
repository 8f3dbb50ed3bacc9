#pragma once
// texts.txt: the issue's short texts (menu, credits, scroller, module titles),
// one `key = "text"` per line, converted to CP437.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "tools/issue/problems.h"

struct IssueTexts {
  std::string menu_header;
  std::array<std::string, 21> menu_labels;   // 1..20
  std::array<int, 21> menu_visible{};        // 1..20
  std::array<std::string, 10> credit_lines;  // 1..9
  std::string scroller_lead;
  std::vector<std::string> scroller_pieces;  // in order
  std::array<std::string, 5> module_titles;  // 1..4
};

void parse_texts(const std::string& file, std::string_view content, IssueTexts& texts, Problems& problems);
