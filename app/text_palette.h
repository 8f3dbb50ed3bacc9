#pragma once
// The text palette: the pixel value of font intensity v in colour code q (1..31)
// is entry v x 31 + q. Codes come in ten hues of three brightnesses (full, two
// thirds, half); code 31 is black. Built once from the page font's palette.
#include <cstdint>

constexpr int text_colour_codes = 31;

struct TextPalette {
  uint32_t entry[256 * text_colour_codes + text_colour_codes + 1];
};

void text_palette_build(TextPalette& palette, const uint32_t* font_palette);

// The colour code of a code character: '1'..'9' 1..9, 'A'..'U' 10..30, 'V' 31,
// anything else (or none, 0) 1.
constexpr int32_t colour_code_of(char c) {
  if (c >= '1' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'V') return c - 'A' + 10;
  return 1;
}
