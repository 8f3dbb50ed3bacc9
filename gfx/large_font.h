#pragma once
// Writing in the intro's large font: the credit lines and the scroller's glyphs.
// Each glyph is embossed in three passes: a dark drop shadow one pixel
// down-right, a white edge one pixel up-left, and the face in the colour of its
// screen row. Scroller glyphs also get a mirror image on the lower wave, in
// three shades of the reflection table 20 rows apart. The colours and the waves
// come from the intro's tables (gfx/intro_effects.h rebuilds them every frame).
#include <array>
#include <cstdint>
#include <string>

#include "gfx/big_font.h"
#include "gfx/frame_buffer.h"
#include "gfx/intro_screen.h"

using CreditLines = std::array<std::string, 10>;   // entries 1..9

// Letters a..z become capitals; every other code stays as it is.
inline int big_font_upper(unsigned char code) { return code >= 'a' && code <= 'z' ? code - 32 : code; }

// The atlas column where the glyph of a character starts; outside 0..1887 the
// font has no glyph for it.
inline int32_t big_font_glyph_column(unsigned char code) {
  return (big_font_upper(code) - big_font_first_code) * big_font_glyph_size;
}

void draw_credits(FrameBuffer& frame, const IntroScreen& intro, const BigFont& font, const CreditLines& lines);
void draw_big_text_centred(FrameBuffer& frame, const IntroScreen& intro, const BigFont& font, const std::string& text,
                           int32_t y);
void draw_big_glyph(FrameBuffer& frame, const IntroScreen& intro, const BigFont& font, int32_t g, int32_t x, int32_t y);
void draw_wave_glyph(FrameBuffer& frame, const IntroScreen& intro, const BigFont& font, int32_t g, int32_t x);
