#include "gfx/big_font.h"

#include <cstring>

#include "gfx/palette.h"

bool big_font_unpack(BigFont& font, const uint8_t* bytes, size_t size) {
  std::memset(&font, 0, sizeof font);
  if (!bytes || size < size_t(big_font_pixels) + 768) return false;
  const uint8_t* rgb = bytes + big_font_pixels;
  palette_expand(rgb, font.palette);
  for (int i = 0; i < big_font_pixels; ++i) {
    font.indices[i] = bytes[i];
    font.set[i] = font.palette[bytes[i]] != 0;
  }
  big_font_index_columns(font);
  return true;
}

void big_font_index_columns(BigFont& font) {
  for (int column = 0; column < big_font_width; ++column) {
    uint32_t rows = 0;
    for (int row = 0; row < big_font_height; ++row)
      if (font.set[row * big_font_width + column]) rows |= 1u << row;
    font.column_rows[column] = rows;
  }
}
