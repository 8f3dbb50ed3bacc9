#pragma once
// The intro's large font: 59 glyphs of 32 x 32 pixels (codes 32..90) side by side
// in a 1888 x 32 atlas of palette indices, with its own 256-colour palette. A
// pixel is set when its palette colour is not black; the colours are never shown.
#include <cstddef>
#include <cstdint>

constexpr int big_font_glyph_size = 32;   // each glyph is a square cell
constexpr int big_font_first_code = 32;   // the space
constexpr int big_font_width = 1888;
constexpr int big_font_height = 32;
constexpr int big_font_pixels = big_font_width * big_font_height;

struct BigFont {
  int32_t indices[big_font_pixels];
  uint32_t palette[256];
  uint8_t set[big_font_pixels];   // 1 where the palette colour is not 0
  uint32_t column_rows[big_font_width];   // the same per atlas column: bit r for row r, for the drawers' inner loops

  bool is_set(int column, int row) const { return set[row * big_font_width + column] != 0; }
};

// The embedded layout: 60,416 index bytes, then the 768-byte palette. Too few
// bytes leave the font empty (nothing set) and return false.
bool big_font_unpack(BigFont& font, const uint8_t* bytes, size_t size);
// Rebuilds column_rows from set (after set was written by hand, as tests do).
void big_font_index_columns(BigFont& font);
