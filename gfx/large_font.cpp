// The large-font drawers. Glyph g is the atlas column where the glyph starts
// ((code - 32) x 32). Columns whose screen column falls off either side are cut,
// never wrapped; a shadow or edge pixel that would land outside the frame is
// dropped too, so that a glyph at the right edge cannot spill into the next row.
#include "gfx/large_font.h"

namespace {

constexpr uint32_t shadow_colour = 0x444444;
constexpr uint32_t edge_colour = 0xFFFFFF;

// The scroller leaves the last screen column alone, its mirror image the last
// two rows.
constexpr int scroller_column_end = screen_width - 1;
constexpr int reflection_row_end = screen_height - 2;

inline void put(FrameBuffer& frame, int x, int y, uint32_t colour) {
  if (x >= 0 && x < screen_width && y >= 0 && y < screen_height) frame.at(x, y) = colour;
}

// Calls draw(row) for every set row of atlas column `column`, top to bottom.
template <typename Draw>
inline void for_each_set_row(const BigFont& font, int column, Draw draw) {
  for (uint32_t rows = font.column_rows[column]; rows; rows &= rows - 1) draw(__builtin_ctz(rows));
}

// The same rows counted from the bottom of the glyph: the mirror image's order.
template <typename Draw>
inline void for_each_mirrored_row(const BigFont& font, int column, Draw draw) {
  uint32_t rows = font.column_rows[column];
  for (int row = 0; row < 32; ++row)
    if (rows & (1u << (31 - row))) draw(row);
}

}  // namespace

void draw_credits(FrameBuffer& frame, const IntroScreen& intro, const BigFont& font, const CreditLines& lines) {
  for (int k = 1; k <= 9; ++k) draw_big_text_centred(frame, intro, font, lines[k], 60 + 33 * k);
}

void draw_big_text_centred(FrameBuffer& frame, const IntroScreen& intro, const BigFont& font, const std::string& text,
                           int32_t y) {
  if (text.empty()) return;
  // Centred on the screen; every character counts, drawn or not.
  int32_t x = screen_width / 2 - big_font_glyph_size / 2 * int32_t(text.size());
  for (unsigned char ch : text) {
    int32_t g = big_font_glyph_column(ch);
    if (g < 0 || g >= big_font_width) continue;
    draw_big_glyph(frame, intro, font, g, x, y);
    x += big_font_glyph_size;
  }
}

void draw_big_glyph(FrameBuffer& frame, const IntroScreen& intro, const BigFont& font, int32_t g, int32_t x, int32_t y) {
  auto visible = [x](int column) { return x + column > 0 && x + column < screen_width; };
  for (int column = 0; column < 32; ++column)
    if (visible(column))
      for_each_set_row(font, g + column, [&](int row) { put(frame, x + column + 1, y + row + 1, shadow_colour); });
  for (int column = 0; column < 32; ++column)
    if (visible(column))
      for_each_set_row(font, g + column, [&](int row) { put(frame, x + column - 1, y + row - 1, edge_colour); });
  for (int column = 0; column < 32; ++column)
    if (visible(column))
      for_each_set_row(font, g + column, [&](int row) { put(frame, x + column, y + row, intro.credit_face[y + row]); });
}

void draw_wave_glyph(FrameBuffer& frame, const IntroScreen& intro, const BigFont& font, int32_t g, int32_t x) {
  auto visible = [x](int column) { return x + column > 0 && x + column < scroller_column_end; };
  // The reflection: the glyph upside down on wave B, in three shades of the table.
  const int offsets[3][2] = {{1, 20}, {-1, -20}, {0, 0}};   // screen offset, table offset
  for (const auto& pass : offsets)
    for (int column = 0; column < 32; ++column) {
      if (!visible(column)) continue;
      int sx = x + column, yb = intro.wave_b[sx];
      for_each_mirrored_row(font, g + column, [&](int row) {
        int y = yb + row;
        if (y < reflection_row_end) put(frame, sx + pass[0], y + pass[0], intro.reflection[y + pass[1]]);
      });
    }
  // The glyph itself, upright and embossed on wave A.
  for (int column = 0; column < 32; ++column)
    if (visible(column)) {
      int sx = x + column, ya = intro.wave_a[sx];
      for_each_set_row(font, g + column, [&](int row) { put(frame, sx + 1, ya + row + 1, shadow_colour); });
    }
  for (int column = 0; column < 32; ++column)
    if (visible(column)) {
      int sx = x + column, ya = intro.wave_a[sx];
      for_each_set_row(font, g + column, [&](int row) { put(frame, sx - 1, ya + row - 1, edge_colour); });
    }
  for (int column = 0; column < 32; ++column)
    if (visible(column)) {
      int sx = x + column, ya = intro.wave_a[sx];
      for_each_set_row(font, g + column, [&](int row) { put(frame, sx, ya + row, intro.scroller_face[ya + row]); });
    }
}
