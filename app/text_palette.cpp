// Building the text palette: each hue group keeps, drops or scales the channels
// of the font's greys.
#include "app/text_palette.h"

#include <cmath>
#include <cstring>

namespace {

// Channel factors per hue group: red, green, blue (0 drops the channel).
struct Hue {
  double red, green, blue;
};
constexpr Hue hues[10] = {
    {1, 1, 1},        // 1-3 white / grey
    {1, 0, 0},        // 4-6 red
    {0, 1, 0},        // 7-9 green
    {0, 0, 1},        // 10-12 blue
    {1, 1, 0},        // 13-15 yellow
    {0, 1, 1},        // 16-18 cyan
    {1, 0, 1},        // 19-21 magenta
    {1, 0.7, 0.3},    // 22-24 orange
    {0.3, 0.7, 1},    // 25-27 sky blue
    {0.7, 1, 0.7},    // 28-30 pale green
};
constexpr double divisors[3] = {1.0, 1.5, 2.0};

// Factor 1 keeps the floored value as it is; fractions round to nearest, ties to even.
uint32_t channel(double value, double factor) {
  if (factor == 0) return 0;
  if (factor == 1) return uint32_t(value);
  return uint32_t(std::nearbyint(value * factor));
}

}  // namespace

void text_palette_build(TextPalette& palette, const uint32_t* font_palette) {
  std::memset(palette.entry, 0, sizeof palette.entry);
  for (int q = 1; q <= 30; ++q) {
    const Hue& hue = hues[(q - 1) / 3];
    double d = divisors[(q - 1) % 3];
    for (int v = 0; v < 256; ++v) {
      uint32_t p = font_palette[v];
      double r = std::floor(double(p >> 16 & 255) / d), g = std::floor(double(p >> 8 & 255) / d),
             b = std::floor(double(p & 255) / d);
      palette.entry[v * text_colour_codes + q] = channel(r, hue.red) << 16 | channel(g, hue.green) << 8 | channel(b, hue.blue);
    }
  }
}
