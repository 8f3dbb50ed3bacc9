#pragma once
// Page sources: the markup of assets/FORMAT.md turned into the four strings per
// line that the page store keeps (CP437 text, colour codes, font digits, band).
#include <string>
#include <string_view>
#include <vector>

#include "tools/issue/problems.h"

struct PageLine {
  std::string text;      // CP437 bytes, one per column
  std::string colours;   // one code character per column: '1'..'9', 'A'..'V'
  std::string fonts;     // one digit per column: '0' hidden, '1', '2'
  char band = '0';       // '0'..'8'
};

// Page lines 1..n of one source file (line 0 is always empty and not kept).
// Every problem found is appended; the lines are filled as far as possible.
void parse_page(const std::string& file, std::string_view content, std::vector<PageLine>& lines, Problems& problems);

// Splits a source into lines: '\n' ends a line, a final newline starts none,
// a '\r' before the '\n' is dropped, a leading byte-order mark is skipped.
std::vector<std::string_view> split_source_lines(std::string_view content);
