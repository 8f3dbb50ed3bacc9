// The text palette against the font's greys, and palette expansion.
#include <gtest/gtest.h>

#include "app/text_palette.h"
#include "gfx/page_font.h"

namespace {

struct GreyPalette {
  uint32_t entry[256];
  GreyPalette() {
    for (uint32_t v = 0; v < 256; ++v) entry[v] = v << 16 | v << 8 | v;
  }
};

TEST(TextPalette, HuesAndBrightnessesOfFullWhite) {
  GreyPalette grey;
  static TextPalette p;
  text_palette_build(p, grey.entry);
  auto at = [&](int v, int q) { return p.entry[v * 31 + q]; };
  EXPECT_EQ(at(255, 1), 0xFFFFFFu);
  EXPECT_EQ(at(255, 2), 0xAAAAAAu);   // 255 / 1.5 = 170
  EXPECT_EQ(at(255, 3), 0x7F7F7Fu);   // floor(127.5)
  EXPECT_EQ(at(255, 4), 0xFF0000u);
  EXPECT_EQ(at(255, 8), 0x00AA00u);
  EXPECT_EQ(at(255, 12), 0x00007Fu);
  EXPECT_EQ(at(255, 13), 0xFFFF00u);
  EXPECT_EQ(at(255, 17), 0x00AAAAu);
  EXPECT_EQ(at(255, 21), 0x7F007Fu);
  EXPECT_EQ(at(255, 22), 0xFFB24Cu);  // 255 x 0.7 and x 0.3 fall just below .5 in doubles
  EXPECT_EQ(at(255, 25), 0x4CB2FFu);
  EXPECT_EQ(at(255, 28), 0xB2FFB2u);
  EXPECT_EQ(at(170, 23), uint32_t(113 << 16 | 79 << 8 | 34));  // 113 x 0.7 = 79.1, x 0.3 = 33.9
}

TEST(TextPalette, BlackCodeAndBackgroundIntensity) {
  GreyPalette grey;
  static TextPalette p;
  text_palette_build(p, grey.entry);
  for (int v = 0; v < 256; ++v) EXPECT_EQ(p.entry[v * 31 + 31], 0u) << v;
  for (int q = 1; q <= 31; ++q) EXPECT_EQ(p.entry[q], 0u) << q;
}

TEST(TextPalette, ColourCodeCharacters) {
  EXPECT_EQ(colour_code_of('1'), 1);
  EXPECT_EQ(colour_code_of('9'), 9);
  EXPECT_EQ(colour_code_of('A'), 10);
  EXPECT_EQ(colour_code_of('U'), 30);
  EXPECT_EQ(colour_code_of('V'), 31);
  EXPECT_EQ(colour_code_of('W'), 1);
  EXPECT_EQ(colour_code_of('a'), 1);
  EXPECT_EQ(colour_code_of('0'), 1);
  EXPECT_EQ(colour_code_of(0), 1);
}

TEST(PageFont, PaletteExpansion) {
  uint8_t bytes[768] = {};
  bytes[3] = 255, bytes[4] = 128, bytes[5] = 0;
  uint32_t out[256];
  palette_expand(bytes, out);
  EXPECT_EQ(out[1], 0xFF8000u);
  EXPECT_EQ(out[0], 0u);
}

}  // namespace
