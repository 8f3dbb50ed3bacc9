// The character cell drawers and the string drawer.
#include "app/text_cells.h"

namespace {

bool drawable(int32_t font_code, int32_t colour) {
  return (font_code == 1 || font_code == 2) && colour >= 1 && colour <= text_colour_codes;
}

const uint8_t* cell_row(const FontAtlas& atlas, uint8_t ch, int32_t font_code, int32_t r) {
  return atlas.intensity + (r + (font_code == 2 ? font_rows : 0)) * font_atlas_width + (ch - 32) * font_cell_width + 1;
}

}  // namespace

void draw_text_cell_opaque(FrameBuffer& frame, const PageFont& font, uint8_t ch, int32_t x, int32_t y, int32_t font_code,
                           int32_t colour) {
  if (ch == 0 || !drawable(font_code, colour) || ch - 32 <= 0) return;
  const uint32_t* palette = font.palette.entry + colour;
  for (int32_t r = 0; r < font_drawn_rows; ++r) {
    int32_t row = y + r;
    if (row < view_first_row || row > view_last_row) continue;
    const uint8_t* in = cell_row(font.atlas, ch, font_code, r);
    uint32_t* out = frame.row(row) + x;
    for (int i = 0; i < font_cell_width; ++i) out[i] = palette[in[i] * text_colour_codes];
  }
}

void draw_text_cell_clipped(FrameBuffer& frame, const PageFont& font, uint8_t ch, int32_t x, int32_t y, int32_t x_min,
                            int32_t x_max, int32_t y_min, int32_t y_max, int32_t font_code, int32_t colour) {
  int32_t start = (int32_t(ch) - 32) * font_cell_width + 1;
  if (ch == 0 || !drawable(font_code, colour) || start <= 0 || start >= font_atlas_width) return;
  const uint32_t* palette = font.palette.entry + colour;
  for (int32_t r = 0; r < font_drawn_rows; ++r) {
    int32_t row = y + r;
    if (row < y_min || row > y_max) continue;
    const uint8_t* in = cell_row(font.atlas, ch, font_code, r);
    uint32_t* out = frame.row(row);
    for (int i = 0; i < font_cell_width; ++i) {
      int32_t column = x + i;
      if (in[i] != 0 && column >= x_min && column <= x_max) out[column] = palette[in[i] * text_colour_codes];
    }
  }
}

void draw_text_clipped(FrameBuffer& frame, const PageFont& font, std::string_view text, int32_t x, int32_t y,
                       int32_t x_min, int32_t x_max, int32_t y_min, int32_t y_max, int32_t font_code, int32_t colour) {
  for (size_t i = 0; i < text.size(); ++i)
    draw_text_cell_clipped(frame, font, uint8_t(text[i]), x + 9 * int32_t(i), y, x_min, x_max, y_min, y_max, font_code,
                           colour);
}
