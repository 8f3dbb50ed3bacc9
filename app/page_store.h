#pragma once
// The page store: the issue's twenty pages as the build embedded them (four
// strings per line: text, colour codes, font digits, band) and the current page
// unpacked per character for the page view. A page ends at its "<END>" line.
#include <cstdint>

#include "app/app_state.h"
#include "assets/issue/issue_data.h"

constexpr int page_table_lines = page_line_limit + 1;  // 0..5000
constexpr int page_table_columns = 81;                  // 0..80; column 0 stays empty

struct PageStore {
  const IssuePage* source = issue_pages;  // pages 0..20
  uint8_t characters[page_table_lines][page_table_columns];  // CP437 code, 0 for none
  uint8_t colours[page_table_lines][page_table_columns];     // 1..31
  uint8_t fonts[page_table_lines][page_table_columns];       // 1, 2 drawable; others hidden
  int8_t bands[page_table_lines];  // the line's band code; -1 where the line has no band string
};

// Unpacks page 1..20 into the current-page tables; sets page_length, and
// top_line and line_offset to 0.
void load_page(PageStore& store, AppState& app, int32_t page);
