// Skin 2, "Carbon": dark woven carbon fibre, brushed bezels, blue accents.
#include <algorithm>
#include <cmath>

#include "tools/skingen/skins.h"

namespace {

constexpr int seed = 2009;
constexpr Rgb blue = {60, 150, 255};

// 2 x 2 twill of 8-pixel tows; each tow is a rounded strand lit from the top left.
Rgb carbon(int x, int y, float lift) {
  constexpr int tow = 8;
  int cx = x / tow, cy = y / tow;
  bool horizontal = ((cx + cy) / 2) % 2 == 0;
  float u = float(horizontal ? y % tow : x % tow) / float(tow - 1);  // across the tow
  float v = float(horizontal ? x % tow : y % tow) / float(tow - 1);  // along it
  float round = std::sin(u * 3.14159f);
  float sheen = horizontal ? 0.55f + 0.45f * (1 - v) : 0.35f + 0.3f * v;
  float fibre = 0.85f + 0.15f * hash01(horizontal ? y : x, horizontal ? x / 3 : y / 3, seed);
  float sweep = 0.7f + 0.5f * std::exp(-std::pow((float(x) - float(y) * 0.8f - 260.0f) / 380.0f, 2.0f));
  float level = (0.22f + 0.5f * round * sheen) * fibre * sweep * lift;
  Rgb dark = {14, 15, 18}, light = {92, 98, 108};
  return mix(dark, light, std::clamp(level, 0.0f, 1.0f));
}

void brushed_bezel(Canvas& c, Rect r, int width) {
  drop_shadow(c, r.x0, r.y0, r.x1, r.y1, 6, 0.7f);
  for (int y = r.y0; y <= r.y1; ++y)
    for (int x = r.x0; x <= r.x1; ++x) {
      bool border = x < r.x0 + width || x > r.x1 - width || y < r.y0 + width || y > r.y1 - width;
      if (!border) continue;
      float brushed = value_noise(float(x) / 40.0f, float(y) * 2.0f, seed + 3) * 0.25f + hash01(x, y, seed) * 0.08f;
      float t = float(y - r.y0) / float(r.y1 - r.y0 + 1);
      c.at(x, y) = mix(rgb(0x6A7078), rgb(0x2A2E34), t) * (0.85f + brushed);
    }
  bevel(c, r.x0, r.y0, r.x1, r.y1, 2, 1.6f, 0.4f, false);
  bevel(c, r.x0 + width - 2, r.y0 + width - 2, r.x1 - width + 2, r.y1 - width + 2, 2, 1.6f, 0.4f, true);
}

void glow_line(Canvas& c, int x0, int x1, int y, float strength) {
  for (int x = x0; x <= x1; ++x) {
    float fade = std::sin(float(x - x0) / float(x1 - x0) * 3.14159f);
    for (int d = -2; d <= 2; ++d) {
      if (!c.inside(x, y + d)) continue;
      float k = strength * fade * (d == 0 ? 1.0f : std::abs(d) == 1 ? 0.35f : 0.12f);
      c.at(x, y + d) = mix(c.at(x, y + d), d == 0 ? Rgb{170, 215, 255} : blue, std::min(1.0f, k));
    }
  }
}

void screen(Canvas& c, Rect r, Rgb tint) {
  for (int y = r.y0; y <= r.y1; ++y)
    for (int x = r.x0; x <= r.x1; ++x) {
      float edge = float(std::min({x - r.x0, r.x1 - x, y - r.y0, r.y1 - y}));
      float glow = std::max(0.0f, 1.0f - edge / 7.0f);
      c.at(x, y) = tint * (0.3f + 0.7f * glow * glow);
    }
  for (int x = r.x0; x <= r.x1; ++x) c.at(x, r.y0) = mix(c.at(x, r.y0), blue, 0.45f);
}

void button(Canvas& c, const Atlas& atlas, int index) {
  Rect r = button_rect(index, 2);
  bool slim = r.y1 - r.y0 < 12;
  drop_shadow(c, r.x0, r.y0, r.x1, r.y1, 4, 0.8f);
  for (int y = r.y0; y <= r.y1; ++y)
    for (int x = r.x0; x <= r.x1; ++x) {
      float t = float(y - r.y0) / float(std::max(1, r.y1 - r.y0));
      Rgb face = t < 0.45f ? mix(rgb(0x40464F), rgb(0x262A31), t / 0.45f) : mix(rgb(0x15181D), rgb(0x20242B), (t - 0.45f) / 0.55f);
      c.at(x, y) = face;
    }
  for (int x = r.x0 - 1; x <= r.x1 + 1; ++x) {
    c.at(x, r.y0 - 1) = mix(rgb(0x0A0C10), blue, 0.35f);
    c.at(x, r.y1 + 1) = mix(rgb(0x0A0C10), blue, 0.75f);
  }
  for (int y = r.y0 - 1; y <= r.y1 + 1; ++y) {
    c.at(r.x0 - 1, y) = mix(rgb(0x0A0C10), blue, 0.5f);
    c.at(r.x1 + 1, y) = mix(rgb(0x0A0C10), blue, 0.5f);
  }
  if (slim) {
    int digit = index - 6;
    draw_small_digit(c, digit, (r.x0 + r.x1) / 2 - 2, r.y0 + 1, rgb(0xBFE0FF));
    for (int x = r.x0 + 3; x <= r.x0 + 8; ++x) c.at(x, (r.y0 + r.y1) / 2) = blue;
    for (int x = r.x1 - 8; x <= r.x1 - 3; ++x) c.at(x, (r.y0 + r.y1) / 2) = blue;
  } else {
    centre_text(c, atlas, button_labels[index], r.x0, r.y0, r.x1, r.y1, 2, 1, rgb(0xC8E4FF), rgb(0x000000));
  }
}

}  // namespace

void paint_carbon(Canvas& c, const Atlas& atlas) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) c.at(x, y) = carbon(x, y, 1.0f);

  // Bezels: the two button columns, the menu housing, the page frame.
  brushed_bezel(c, {6, 40, 122, 156}, 4);
  brushed_bezel(c, {677, 40, 793, 156}, 4);
  brushed_bezel(c, {139, 33, 656, 157}, 6);
  brushed_bezel(c, {8, 181, 799 - 0, 585}, 8);
  for (int y = 44; y <= 152; ++y)
    for (int x = 10; x <= 118; ++x) c.at(x, y) = carbon(x, y, 0.7f);
  for (int y = 44; y <= 152; ++y)
    for (int x = 681; x <= 789; ++x) c.at(x, y) = carbon(x, y, 0.7f);

  // Logo: blue-white letters with a glow.
  const char* name = "ORVELLA";
  int lx = 400 - (7 * 9 * 3 - 3) / 2;
  draw_logo(c, atlas, name, lx, 3, 3, rgb(0xF4FAFF), rgb(0x5A7EA8), rgb(0x05080E), blue, 0.55f);
  glow_line(c, 180, 620, 37, 0.9f);
  draw_text(c, atlas, "ISSUE 37", 16, 14, 2, 1, rgb(0x8CC4FF));
  draw_text(c, atlas, "27-12-2009", 786 - 90, 14, 2, 1, rgb(0x8CC4FF));

  screen(c, {146, 40, 649, 148}, rgb(0x0A1220));
  screen(c, {158, 133, 637, 150}, rgb(0x060A12));
  for (int x = 158; x <= 637; x += 12) c.at(x, 150) = rgb(0x1A3050);

  for (int i = 1; i <= button_count; ++i) button(c, atlas, i);
  draw_text(c, atlas, "MODULES", 31, 124, 1, 1, rgb(0x7AA8DA));
  draw_text(c, atlas, "MODULES", 706, 124, 1, 1, rgb(0x7AA8DA));

  draw_text(c, atlas, "F1 GRUNGE   F2 CARBON", 30, 164, 1, 1, rgb(0x8CC4FF));
  draw_text(c, atlas, "THE CHART MAGAZINE", 770 - 18 * 9, 164, 1, 1, rgb(0x8CC4FF));
  glow_line(c, 250, 550, 170, 0.8f);

  screen(c, {20, 192, 767, 570}, rgb(0x04060A));
  for (int y = 192; y <= 570; ++y)
    for (int x = 24; x <= 763; ++x) c.at(x, y) = c.at(x, y) * 0.5f;
  screen(c, {776, 195, 795, 575}, rgb(0x0C1624));
  for (int y = 197; y <= 573; ++y) c.at(786, y) = mix(c.at(786, y), blue, 0.3f);
  draw_text(c, atlas, "ORVELLA  *  ISSUE 37  *  RELEASED 27-12-2009", 400 - 45 * 9 / 2, 587, 1, 1, rgb(0x6E9CCC));
}
