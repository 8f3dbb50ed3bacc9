#pragma once
// Drawing characters of the page font: a cell is 9 x 12 pixels, intensity v of
// colour code q painted as text palette[v x 31 + q]. The opaque drawer paints
// all of a cell (its background too) inside the view rows 193..569; the clipped
// drawer paints only a character's strokes inside a clip box. Characters are
// CP437 codes; 0 stands for "no character".
#include <cstdint>
#include <string_view>

#include "app/text_palette.h"
#include "gfx/frame_buffer.h"
#include "gfx/page_font.h"

struct PageFont {
  FontAtlas atlas;
  TextPalette palette;
};

constexpr int32_t view_first_row = 193;
constexpr int32_t view_last_row = 569;

void draw_text_cell_opaque(FrameBuffer& frame, const PageFont& font, uint8_t ch, int32_t x, int32_t y, int32_t font_code,
                           int32_t colour);
void draw_text_cell_clipped(FrameBuffer& frame, const PageFont& font, uint8_t ch, int32_t x, int32_t y, int32_t x_min,
                            int32_t x_max, int32_t y_min, int32_t y_max, int32_t font_code, int32_t colour);
// Every character of the text 9 pixels apart, through the clipped drawer.
void draw_text_clipped(FrameBuffer& frame, const PageFont& font, std::string_view text, int32_t x, int32_t y,
                       int32_t x_min, int32_t x_max, int32_t y_min, int32_t y_max, int32_t font_code, int32_t colour);
