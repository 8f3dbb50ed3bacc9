// Skin 1, "Grunge": worn warm metal with rust, bronze buttons, orange accents.
#include <algorithm>
#include <cmath>

#include "tools/skingen/skins.h"

namespace {

constexpr int seed = 1937;

Rgb metal(int x, int y) {
  float broad = fbm(float(x) / 140.0f, float(y) / 140.0f, seed, 4);
  float streak = value_noise(float(x) / 90.0f, float(y) / 1.6f, seed + 7) * 0.5f + value_noise(float(x) / 17.0f, float(y) / 0.9f, seed + 9) * 0.5f;
  float grain = hash01(x, y, seed + 3);
  Rgb base = mix(rgb(0x3A3029), rgb(0x76644F), broad);
  base = base * (0.9f + 0.16f * streak + 0.06f * grain);
  float rust = fbm(float(x) / 70.0f + 3.1f, float(y) / 55.0f, seed + 21, 5);
  float amount = std::clamp((rust - 0.47f) * 4.0f, 0.0f, 1.0f);
  if (amount > 0) {
    float pits = fbm(float(x) / 4.0f, float(y) / 4.0f, seed + 33, 2);
    Rgb r = mix(rgb(0x5A260C), rgb(0xA8521C), pits);
    r = r * (0.8f + 0.35f * hash01(x, y, seed + 5));
    base = mix(base, r, amount * 0.92f);
  }
  return base;
}

void scratches(Canvas& c, int count, int x0, int y0, int x1, int y1, int s) {
  for (int i = 0; i < count; ++i) {
    float x = float(x0) + hash01(i, 1, s) * float(x1 - x0), y = float(y0) + hash01(i, 2, s) * float(y1 - y0);
    float angle = (hash01(i, 3, s) - 0.5f) * 0.9f + (hash01(i, 6, s) < 0.3f ? 1.57f : 0.0f);
    int length = 10 + int(hash01(i, 4, s) * 60);
    float light = 1.15f + hash01(i, 5, s) * 0.25f;
    for (int k = 0; k < length; ++k) {
      int px = int(x + std::cos(angle) * float(k)), py = int(y + std::sin(angle) * float(k));
      if (px < x0 || px > x1 || py < y0 || py > y1) break;
      c.at(px, py) = c.at(px, py) * light;
      if (py + 1 <= y1) c.at(px, py + 1) = c.at(px, py + 1) * 0.9f;
    }
  }
}

void rivet(Canvas& c, int cx, int cy) {
  for (int y = -4; y <= 5; ++y)
    for (int x = -4; x <= 5; ++x) {
      float d = std::sqrt(float(x * x + y * y));
      if (!c.inside(cx + x, cy + y)) continue;
      Rgb& p = c.at(cx + x, cy + y);
      if (d <= 3.2f) {
        float lit = std::clamp(1.0f - (float(x + y) + 3.0f) / 8.0f, 0.0f, 1.0f);
        p = mix(rgb(0x4A3A2C), rgb(0xC8A27A), lit * lit);
      } else if (d <= 4.6f && x + y > 0) {
        p = p * 0.55f;  // shadow below right
      }
    }
}

// Rust run-off: orange-brown streaks fading downwards from a start row.
void streaks(Canvas& c, int x0, int x1, int y, int count, int s) {
  for (int i = 0; i < count; ++i) {
    int x = x0 + int(hash01(i, 7, s) * float(x1 - x0));
    int length = 12 + int(hash01(i, 8, s) * 50);
    int width = 1 + int(hash01(i, 9, s) * 3);
    for (int k = 0; k < length; ++k)
      for (int d = 0; d < width; ++d) {
        int px = x + d + int(std::sin(float(k) * 0.15f + float(i)) * 1.2f), py = y + k;
        if (!c.inside(px, py)) continue;
        float a = 0.55f * (1 - float(k) / float(length)) * (0.6f + 0.4f * hash01(px, py, s));
        c.at(px, py) = mix(c.at(px, py), rgb(0x8A3A10), a);
      }
  }
}

void plate(Canvas& c, Rect r, bool rivets) {
  drop_shadow(c, r.x0, r.y0, r.x1, r.y1, 6, 0.55f);
  for (int y = r.y0; y <= r.y1; ++y)
    for (int x = r.x0; x <= r.x1; ++x) c.at(x, y) = metal(x + 311, y + 97) * 1.08f;
  scratches(c, (r.x1 - r.x0) * (r.y1 - r.y0) / 2500, r.x0 + 3, r.y0 + 3, r.x1 - 3, r.y1 - 3, r.x0 * 7 + r.y0);
  bevel(c, r.x0, r.y0, r.x1, r.y1, 3, 1.45f, 0.5f, false);
  streaks(c, r.x0 + 4, r.x1 - 4, r.y0 + 3, (r.x1 - r.x0) / 40, r.x0 + r.y1);
  if (rivets) {
    rivet(c, r.x0 + 7, r.y0 + 7);
    rivet(c, r.x1 - 7, r.y0 + 7);
    rivet(c, r.x0 + 7, r.y1 - 7);
    rivet(c, r.x1 - 7, r.y1 - 7);
  }
}

// A sunk screen: very dark, warm, with a faint inner glow near the edges.
void well(Canvas& c, Rect r, Rgb tint, int lip) {
  for (int y = r.y0; y <= r.y1; ++y)
    for (int x = r.x0; x <= r.x1; ++x) {
      float edge = float(std::min({x - r.x0, r.x1 - x, y - r.y0, r.y1 - y}));
      float glow = std::max(0.0f, 1.0f - edge / 6.0f);
      c.at(x, y) = tint * (0.35f + 0.65f * glow * glow);
    }
  bevel(c, r.x0 - lip, r.y0 - lip, r.x1 + lip, r.y1 + lip, lip, 1.5f, 0.35f, true);
}

void button(Canvas& c, const Atlas& atlas, int index) {
  Rect r = button_rect(index, 1);
  drop_shadow(c, r.x0, r.y0, r.x1, r.y1, 3, 0.6f);
  for (int y = r.y0; y <= r.y1; ++y)
    for (int x = r.x0; x <= r.x1; ++x) {
      float t = float(y - r.y0) / float(r.y1 - r.y0);
      Rgb face = mix(rgb(0xB07A45), rgb(0x5E3A1E), t);
      float brushed = value_noise(float(x) / 6.0f, float(y) * 3.0f, seed + 50) * 0.12f;
      float wear = std::clamp((fbm(float(x) / 9.0f, float(y) / 9.0f, seed + index, 3) - 0.6f) * 4.0f, 0.0f, 0.7f);
      face = mix(face * (0.94f + brushed), rgb(0x6E2E10), wear);
      c.at(x, y) = face;
    }
  bevel(c, r.x0, r.y0, r.x1, r.y1, 2, 1.5f, 0.45f, false);
  for (int x = r.x0 - 1; x <= r.x1 + 1; ++x) c.at(x, r.y0 - 1) = c.at(x, r.y1 + 1) = rgb(0x1A1008);
  for (int y = r.y0; y <= r.y1; ++y) c.at(r.x0 - 1, y) = c.at(r.x1 + 1, y) = rgb(0x1A1008);
  centre_text(c, atlas, button_labels[index], r.x0, r.y0, r.x1, r.y1, 2, 1, rgb(0xFFE6B8), rgb(0x2A1406));
}

}  // namespace

void paint_grunge(Canvas& c, const Atlas& atlas) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) c.at(x, y) = metal(x, y) * 0.8f;
  scratches(c, 160, 0, 0, 799, 599, 11);

  // Side plates with the buttons, the menu housing, the page frame.
  plate(c, {3, 35, 139, 158}, false);
  plate(c, {660, 35, 796, 158}, false);
  plate(c, {140, 33, 659, 156}, false);
  plate(c, {3, 178, 796, 596}, true);

  // Logo strip.
  const char* name = "ORVELLA";
  int lx = 400 - (7 * 9 * 3 - 3) / 2;
  draw_logo(c, atlas, name, lx, 3, 3, rgb(0xFFB347), rgb(0x9A3A0C), rgb(0x140804), rgb(0xFF7A1A), 0.25f);
  engrave_text(c, atlas, "ISSUE 37", 14, 13, 2, 1, rgb(0xF0A060), rgb(0x140A04));
  engrave_text(c, atlas, "27-12-2009", 786 - 90, 13, 2, 1, rgb(0xF0A060), rgb(0x140A04));
  for (int x : {128, 160, 640, 672}) rivet(c, x, 18);

  // Menu screen with the music well along its bottom.
  well(c, {146, 40, 649, 148}, rgb(0x1E120A), 3);
  well(c, {158, 131, 637, 148}, rgb(0x140C06), 1);
  for (int x = 158; x <= 637; x += 12) c.at(x, 148) = rgb(0x3A2A1A);

  for (int i = 1; i <= button_count; ++i) button(c, atlas, i);
  engrave_text(c, atlas, "MODULES", 34, 119, 1, 1, rgb(0xD8A070), rgb(0x140A04));
  engrave_text(c, atlas, "MODULES", 694, 119, 1, 1, rgb(0xD8A070), rgb(0x140A04));

  // Strip between the housing and the page: hints and an orange rule.
  engrave_text(c, atlas, "F1 GRUNGE   F2 CARBON", 30, 163, 1, 1, rgb(0xE8B080), rgb(0x100804));
  engrave_text(c, atlas, "THE CHART MAGAZINE", 770 - 18 * 9, 163, 1, 1, rgb(0xE8B080), rgb(0x100804));
  for (int x = 240; x <= 560; ++x) {
    c.at(x, 168) = mix(c.at(x, 168), rgb(0xFF8A2A), 0.7f);
    c.at(x, 169) = c.at(x, 169) * 0.5f;
  }

  // Page area and scroll track.
  well(c, {20, 192, 767, 570}, rgb(0x0C0806), 3);
  for (int y = 192; y <= 570; ++y)
    for (int x = 23; x <= 764; ++x) c.at(x, y) = c.at(x, y) * 0.6f;
  well(c, {776, 195, 795, 575}, rgb(0x22160E), 2);
  for (int y = 197; y <= 573; ++y) {
    c.at(778, y) = rgb(0x4A3020);
    c.at(793, y) = rgb(0x4A3020);
  }
  engrave_text(c, atlas, "ORVELLA  *  ISSUE 37  *  RELEASED 27-12-2009", 400 - 45 * 9 / 2, 578, 1, 1, rgb(0xD89868),
               rgb(0x100804));
}
