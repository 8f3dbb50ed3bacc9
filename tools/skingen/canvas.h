#pragma once
// A floating-point RGB canvas and the few painting operations the skins need:
// fills, bevels, noise, glyph text from the page font atlas.
#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/issue/png_io.h"

struct Rgb {
  float r = 0, g = 0, b = 0;
};
inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb mix(Rgb a, Rgb b, float t) { return a * (1 - t) + b * t; }
inline Rgb rgb(int hex) { return {float(hex >> 16 & 255), float(hex >> 8 & 255), float(hex & 255)}; }

struct Canvas {
  int width = 800, height = 600;
  std::vector<Rgb> px = std::vector<Rgb>(800 * 600);
  Rgb& at(int x, int y) { return px[size_t(y * width + x)]; }
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// Hash noise in [0, 1): deterministic for a seed.
float hash01(int x, int y, int seed);
// Smooth value noise and its fractal sum, both about [0, 1].
float value_noise(float x, float y, int seed);
float fbm(float x, float y, int seed, int octaves);

// Inclusive rectangle x0..x1, y0..y1.
void fill_rect(Canvas& c, int x0, int y0, int x1, int y1, Rgb colour);
void blend_over(Canvas& c, int x0, int y0, int x1, int y1, Rgb colour, float alpha);
// Multiplies the rectangle by k (darker below 1).
void shade_rect(Canvas& c, int x0, int y0, int x1, int y1, float k);
// A bevel of `width` pixels: lit top-left, dark bottom-right (swapped when sunk).
void bevel(Canvas& c, int x0, int y0, int x1, int y1, int width, float light, float dark, bool sunk);
// A soft drop shadow around a rectangle.
void drop_shadow(Canvas& c, int x0, int y0, int x1, int y1, int radius, float strength);

// Text from the page font atlas (font 1 or 2), one cell of 9 x 12 per character,
// scaled by an integer; intensity 0 is transparent.
struct Atlas {
  IndexedPicture picture;
};
void draw_text(Canvas& c, const Atlas& atlas, const char* text, int x, int y, int font, int scale, Rgb colour);
int text_width(const char* text, int scale);
// Engraved text: a dark cut with a light lower edge, or an embossed one.
void engrave_text(Canvas& c, const Atlas& atlas, const char* text, int x, int y, int font, int scale, Rgb colour,
                  Rgb edge);
// Centred in the box x0..x1, y0..y1 (12 rows per line of the cell at scale 1).
void centre_text(Canvas& c, const Atlas& atlas, const char* text, int x0, int y0, int x1, int y1, int font, int scale,
                 Rgb colour, Rgb edge);

// 5 x 7 digits for the slim module buttons of the Carbon skin.
void draw_small_digit(Canvas& c, int digit, int x, int y, Rgb colour);

// Median-cut to 256 colours with a light ordered dither, index 0 the darkest.
IndexedPicture quantise(const Canvas& c, float dither);

// A large bevelled title: the letters of the heading font scaled up, filled
// with a vertical gradient (top to bottom), a dark outline, a lit upper-left
// edge and a soft glow of `glow` colour around them (glow_strength 0 for none).
void draw_logo(Canvas& c, const Atlas& atlas, const char* text, int x, int y, int scale, Rgb top, Rgb bottom,
               Rgb outline, Rgb glow, float glow_strength);
