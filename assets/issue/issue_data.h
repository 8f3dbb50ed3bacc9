#pragma once
// The issue's content as the program carries it, made at build time from the
// files of assets/ by tools/issue/issuepack (library mag_issue). Text is CP437.
#include <cstddef>
#include <cstdint>

// One line of a page as the page store keeps it: the text, one colour code
// character per column, one font digit per column, and the band code.
struct IssueLine {
  const char* text;
  const char* colours;
  const char* fonts;
  uint8_t length;   // characters in each of the three strings
  char band;        // '0'..'8'
};

// Lines 0..count-1 of a page; the last holds the end marker "<END>".
struct IssuePage {
  const IssueLine* lines;
  int32_t count;
};
extern const IssuePage issue_pages[21];  // 1..20; entry 0 is empty

struct IssueTextData {
  const char* menu_header;
  const char* menu_labels[21];      // 1..20
  int32_t menu_visible[21];         // 1..20
  const char* credit_lines[10];     // 1..9
  const char* scroller_lead;
  const char* const* scroller_pieces;
  int32_t scroller_piece_count;
  const char* module_titles[5];     // 1..4
};
extern const IssueTextData issue_texts;

// The pictures in their embedded byte layouts, one after the other: skin 1 and
// skin 2 (768-byte palette, then 800 x 600 index bytes each), then the page font
// (2048 x 28 index bytes, then its palette).
extern const unsigned char issue_pictures[];
extern const unsigned long issue_pictures_size;
constexpr size_t picture_palette_bytes = 768;
constexpr size_t skin_picture_bytes = picture_palette_bytes + 800 * 600;
constexpr size_t page_font_offset = 2 * skin_picture_bytes;
constexpr size_t page_font_index_bytes = 2048 * 28;

// The intro's big font (1888 x 32 index bytes, then its palette); size 0 while
// assets/pictures/big_font.png does not exist.
extern const unsigned char issue_big_font[];
extern const unsigned long issue_big_font_size;
