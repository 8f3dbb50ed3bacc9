// The painting operations of canvas.h and the median-cut quantiser.
#include "tools/skingen/canvas.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

float hash01(int x, int y, int seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return float(h & 0xFFFFFF) / float(0x1000000);
}

float value_noise(float x, float y, int seed) {
  int xi = int(std::floor(x)), yi = int(std::floor(y));
  float fx = x - float(xi), fy = y - float(yi);
  fx = fx * fx * (3 - 2 * fx);
  fy = fy * fy * (3 - 2 * fy);
  float a = hash01(xi, yi, seed), b = hash01(xi + 1, yi, seed);
  float c = hash01(xi, yi + 1, seed), d = hash01(xi + 1, yi + 1, seed);
  return (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy;
}

float fbm(float x, float y, int seed, int octaves) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += value_noise(x, y, seed + o * 101) * amp;
    norm += amp;
    x *= 2.03f;
    y *= 2.03f;
    amp *= 0.5f;
  }
  return sum / norm;
}

void fill_rect(Canvas& c, int x0, int y0, int x1, int y1, Rgb colour) {
  for (int y = std::max(0, y0); y <= std::min(c.height - 1, y1); ++y)
    for (int x = std::max(0, x0); x <= std::min(c.width - 1, x1); ++x) c.at(x, y) = colour;
}

void blend_over(Canvas& c, int x0, int y0, int x1, int y1, Rgb colour, float alpha) {
  for (int y = std::max(0, y0); y <= std::min(c.height - 1, y1); ++y)
    for (int x = std::max(0, x0); x <= std::min(c.width - 1, x1); ++x) c.at(x, y) = mix(c.at(x, y), colour, alpha);
}

void shade_rect(Canvas& c, int x0, int y0, int x1, int y1, float k) {
  for (int y = std::max(0, y0); y <= std::min(c.height - 1, y1); ++y)
    for (int x = std::max(0, x0); x <= std::min(c.width - 1, x1); ++x) c.at(x, y) = c.at(x, y) * k;
}

void bevel(Canvas& c, int x0, int y0, int x1, int y1, int width, float light, float dark, bool sunk) {
  if (sunk) std::swap(light, dark);
  for (int i = 0; i < width; ++i) {
    float fade = 1.0f - float(i) / float(width + 1);
    float up = 1 + (light - 1) * fade, down = 1 + (dark - 1) * fade;
    shade_rect(c, x0 + i, y0 + i, x1 - i, y0 + i, up);
    shade_rect(c, x0 + i, y0 + i + 1, x0 + i, y1 - i, up);
    shade_rect(c, x0 + i + 1, y1 - i, x1 - i, y1 - i, down);
    shade_rect(c, x1 - i, y0 + i + 1, x1 - i, y1 - i - 1, down);
  }
}

void drop_shadow(Canvas& c, int x0, int y0, int x1, int y1, int radius, float strength) {
  for (int y = y0 - radius; y <= y1 + radius + 2; ++y)
    for (int x = x0 - radius; x <= x1 + radius + 2; ++x) {
      if (!c.inside(x, y) || (x >= x0 && x <= x1 && y >= y0 && y <= y1)) continue;
      float dx = float(std::max({x0 + 2 - x, 0, x - x1 - 2})), dy = float(std::max({y0 + 2 - y, 0, y - y1 - 2}));
      float d = std::sqrt(dx * dx + dy * dy) / float(radius);
      if (d < 1) c.at(x, y) = c.at(x, y) * (1 - strength * (1 - d) * (1 - d));
    }
}

namespace {
int glyph_value(const Atlas& a, unsigned char ch, int font, int col, int row) {
  if (ch < 33) return 0;
  int x = (ch - 32) * 9 + 1 + col, y = row + (font == 2 ? 14 : 0);
  return a.picture.indices[size_t(y * a.picture.width + x)];
}
}  // namespace

int text_width(const char* text, int scale) { return int(std::strlen(text)) * 9 * scale; }

void draw_text(Canvas& c, const Atlas& atlas, const char* text, int x, int y, int font, int scale, Rgb colour) {
  for (int i = 0; text[i]; ++i)
    for (int row = 0; row < 12; ++row)
      for (int col = 0; col < 9; ++col) {
        int v = glyph_value(atlas, (unsigned char)text[i], font, col, row);
        if (!v) continue;
        for (int sy = 0; sy < scale; ++sy)
          for (int sx = 0; sx < scale; ++sx) {
            int px = x + (i * 9 + col) * scale + sx, py = y + row * scale + sy;
            if (c.inside(px, py)) c.at(px, py) = mix(c.at(px, py), colour, float(v) / 255.0f);
          }
      }
}

void engrave_text(Canvas& c, const Atlas& atlas, const char* text, int x, int y, int font, int scale, Rgb colour,
                  Rgb edge) {
  draw_text(c, atlas, text, x + 1, y + 1, font, scale, edge);
  draw_text(c, atlas, text, x, y, font, scale, colour);
}

void centre_text(Canvas& c, const Atlas& atlas, const char* text, int x0, int y0, int x1, int y1, int font, int scale,
                 Rgb colour, Rgb edge) {
  int w = text_width(text, scale) - scale;  // the ninth column is spacing
  int h = 10 * scale;                       // capitals stand in rows 0..9
  int x = x0 + (x1 - x0 + 1 - w) / 2, y = y0 + (y1 - y0 + 1 - h) / 2;
  engrave_text(c, atlas, text, x, y, font, scale, colour, edge);
}

void draw_small_digit(Canvas& c, int digit, int x, int y, Rgb colour) {
  static constexpr std::array<std::array<uint8_t, 7>, 10> rows = {{
      {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
      {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
      {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
      {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
      {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
  }};
  for (int r = 0; r < 7; ++r)
    for (int i = 0; i < 5; ++i)
      if (rows[size_t(digit)][size_t(r)] >> (4 - i) & 1) c.at(x + i, y + r) = colour;
}

// Median cut on 5-bit-per-channel histogram cells, then nearest colour per cell.
IndexedPicture quantise(const Canvas& c, float dither) {
  struct Cell {
    int r, g, b, count;
  };
  static constexpr float bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  std::vector<std::array<int, 3>> pixels(c.px.size());
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      float d = (bayer[y & 3][x & 3] / 16.0f - 0.47f) * dither;
      Rgb p = c.px[size_t(y * c.width + x)];
      auto q = [&](float v) { return std::clamp(int(std::lround(v + d)), 0, 255); };
      pixels[size_t(y * c.width + x)] = {q(p.r), q(p.g), q(p.b)};
    }
  std::vector<int> histogram(32768, 0);
  auto key = [](const std::array<int, 3>& p) { return (p[0] >> 3) << 10 | (p[1] >> 3) << 5 | (p[2] >> 3); };
  std::vector<std::array<long, 3>> sums(32768, {0, 0, 0});
  for (const auto& p : pixels) {
    int k = key(p);
    ++histogram[size_t(k)];
    for (int ch = 0; ch < 3; ++ch) sums[size_t(k)][size_t(ch)] += p[size_t(ch)];
  }
  std::vector<Cell> cells;
  for (int k = 0; k < 32768; ++k)
    if (histogram[size_t(k)])
      cells.push_back({int(sums[size_t(k)][0] / histogram[size_t(k)]), int(sums[size_t(k)][1] / histogram[size_t(k)]),
                       int(sums[size_t(k)][2] / histogram[size_t(k)]), histogram[size_t(k)]});
  struct Box {
    size_t begin, end;
  };
  std::vector<Box> boxes = {{0, cells.size()}};
  auto spread = [&](const Box& b, int& axis) {
    double best = -1;
    for (int ch = 0; ch < 3; ++ch) {
      double sum = 0, sq = 0, n = 0;
      for (size_t i = b.begin; i < b.end; ++i) {
        double v = ch == 0 ? cells[i].r : ch == 1 ? cells[i].g : cells[i].b;
        sum += v * cells[i].count;
        sq += v * v * cells[i].count;
        n += cells[i].count;
      }
      double var = n > 0 ? sq - sum * sum / n : 0;
      if (var > best) best = var, axis = ch;
    }
    return best;
  };
  while (boxes.size() < 256) {
    size_t pick = boxes.size();
    int axis = 0;
    double best = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].end - boxes[i].begin < 2) continue;
      int a = 0;
      double s = spread(boxes[i], a);
      if (s > best) best = s, pick = i, axis = a;
    }
    if (pick == boxes.size()) break;
    Box b = boxes[pick];
    std::sort(cells.begin() + ptrdiff_t(b.begin), cells.begin() + ptrdiff_t(b.end), [axis](const Cell& p, const Cell& q) {
      return axis == 0 ? p.r < q.r : axis == 1 ? p.g < q.g : p.b < q.b;
    });
    long total = 0, half = 0;
    for (size_t i = b.begin; i < b.end; ++i) total += cells[i].count;
    size_t split = b.begin + 1;
    for (size_t i = b.begin; i < b.end - 1; ++i) {
      half += cells[i].count;
      split = i + 1;
      if (half * 2 >= total) break;
    }
    boxes[pick] = {b.begin, split};
    boxes.push_back({split, b.end});
  }
  std::vector<std::array<int, 3>> palette;
  for (const Box& b : boxes) {
    double r = 0, g = 0, bl = 0, n = 0;
    for (size_t i = b.begin; i < b.end; ++i) {
      r += double(cells[i].r) * cells[i].count;
      g += double(cells[i].g) * cells[i].count;
      bl += double(cells[i].b) * cells[i].count;
      n += cells[i].count;
    }
    palette.push_back({int(std::lround(r / n)), int(std::lround(g / n)), int(std::lround(bl / n))});
  }
  std::sort(palette.begin(), palette.end(),
            [](const auto& p, const auto& q) { return p[0] + p[1] + p[2] < q[0] + q[1] + q[2]; });
  IndexedPicture out;
  out.width = c.width;
  out.height = c.height;
  out.palette_entries = 256;
  for (size_t i = 0; i < palette.size(); ++i)
    for (int ch = 0; ch < 3; ++ch) out.palette[i * 3 + size_t(ch)] = uint8_t(palette[i][size_t(ch)]);
  std::vector<int> nearest(32768, -1);
  out.indices.resize(pixels.size());
  for (size_t i = 0; i < pixels.size(); ++i) {
    int k = key(pixels[i]);
    if (nearest[size_t(k)] < 0) {
      int best = 0;
      long best_d = 1L << 40;
      for (size_t j = 0; j < palette.size(); ++j) {
        long dr = palette[j][0] - pixels[i][0], dg = palette[j][1] - pixels[i][1], db = palette[j][2] - pixels[i][2];
        long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (d < best_d) best_d = d, best = int(j);
      }
      nearest[size_t(k)] = best;
    }
    out.indices[i] = uint8_t(nearest[size_t(k)]);
  }
  return out;
}

void draw_logo(Canvas& c, const Atlas& atlas, const char* text, int x, int y, int scale, Rgb top, Rgb bottom,
               Rgb outline, Rgb glow, float glow_strength) {
  int w = text_width(text, scale) + 16, h = 12 * scale + 16;
  std::vector<float> mask(size_t(w * h), 0.0f);
  auto m = [&](int px, int py) { return px < 0 || py < 0 || px >= w || py >= h ? 0.0f : mask[size_t(py * w + px)]; };
  for (int i = 0; text[i]; ++i)
    for (int row = 0; row < 12; ++row)
      for (int col = 0; col < 9; ++col)
        if (glyph_value(atlas, (unsigned char)text[i], 2, col, row) > 100)
          for (int sy = 0; sy < scale; ++sy)
            for (int sx = 0; sx < scale; ++sx) mask[size_t((8 + row * scale + sy) * w + 8 + (i * 9 + col) * scale + sx)] = 1;
  int letters_top = 8, letters_bottom = 8 + 10 * scale;
  for (int py = 0; py < h; ++py)
    for (int px = 0; px < w; ++px) {
      int cx = x - 8 + px, cy = y - 8 + py;
      if (!c.inside(cx, cy)) continue;
      Rgb& p = c.at(cx, cy);
      if (m(px, py) > 0) {
        float t = std::clamp(float(py - letters_top) / float(letters_bottom - letters_top), 0.0f, 1.0f);
        Rgb fill = mix(top, bottom, t);
        if (m(px - 1, py - 1) == 0 || m(px - 2, py - 2) == 0) fill = mix(fill, Rgb{255, 255, 255}, 0.45f);
        else if (m(px + 1, py + 1) == 0) fill = fill * 0.6f;
        p = fill;
        continue;
      }
      float near = 0;
      for (int d = 1; d <= 2 && near == 0; ++d)
        if (m(px - d, py) > 0 || m(px + d, py) > 0 || m(px, py - d) > 0 || m(px, py + d) > 0 || m(px + d, py + d) > 0)
          near = 1;
      if (near > 0) {
        p = outline;
        continue;
      }
      if (glow_strength > 0) {
        float g = 0;
        for (int dy = -6; dy <= 6; dy += 2)
          for (int dx = -6; dx <= 6; dx += 2) g += m(px + dx, py + dy);
        g = std::min(1.0f, g / 14.0f) * glow_strength;
        if (g > 0) p = mix(p, glow, g);
      }
    }
}
