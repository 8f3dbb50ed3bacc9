#pragma once
// The page font: the atlas of intensities (2048 x 28, two fonts of 14 rows,
// CP437 codes 32..255 at column (code - 32) x 9 + 1) and the font's own palette.
// Unpacked once from the embedded page font (index bytes, then palette).
#include <cstdint>

#include "gfx/palette.h"

constexpr int font_atlas_width = 2048;
constexpr int font_atlas_height = 28;
constexpr int font_cell_width = 9;
constexpr int font_rows = 14;        // per font in the atlas
constexpr int font_drawn_rows = 12;  // rows drawn per line

struct FontAtlas {
  uint8_t intensity[font_atlas_width * font_atlas_height];
  uint32_t palette[256];  // 0x00RRGGBB
};

// index_bytes: 57,344 atlas bytes followed by the 768-byte palette.
void font_atlas_unpack(FontAtlas& atlas, const uint8_t* index_bytes);
