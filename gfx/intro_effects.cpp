// Raster bars, starfield, the wave and colour tables, the scroller and the
// intro's backdrop. "Round" is to the nearest integer with halves to even.
#include "gfx/intro_effects.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "app/large_font.h"
#include "platform/clock.h"
#include "platform/random.h"

namespace {

int32_t round_even(double value) { return int32_t(std::nearbyint(value)); }

uint32_t rgb(int32_t r, int32_t g, int32_t b) { return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }

struct StarLayer {
  double speed;
  uint32_t core, rim;
};

// Stars 1-100, 101-200 and 201-300: the farther, the slower and dimmer.
constexpr StarLayer star_layers[3] = {
    {0.6, 0x222222, 0x111111},
    {1.2, 0x444444, 0x222222},
    {1.8, 0x999999, 0x444444},
};

}  // namespace

void stars_init(IntroScreen& intro) {
  for (int i = 1; i <= intro_star_count; ++i) {
    intro.star_x[i] = random_uniform() * 800;
    intro.star_y[i] = random_uniform() * 470 + 22;
  }
}

void raster_bar_draw(FrameBuffer& frame, int32_t step, int32_t top_row) {
  int32_t value = 0;
  for (int r = 0; r < 32; ++r) {
    value += r < 16 ? step : -step;
    int y = top_row + r;
    if (y < 600 && y >= 0) std::fill_n(frame.row(y), screen_width, uint32_t(value));
  }
}

void raster_bars_draw(FrameBuffer& frame, const AppState& app) {
  for (int i = 1; i <= 7; ++i) {
    double a = std::sin((4 * i + app.intro_phase) * 3.14 / 90);
    raster_bar_draw(frame, 2 * i, round_even(a * 100 + 375));
    raster_bar_draw(frame, i, round_even(a * -80 + 595));
  }
}

void intro_tables_update(IntroScreen& intro, const AppState& app) {
  const double t = app.intro_phase;
  const double c = 0.00873055555555556;
  const double u = 0.104766666666667;
  for (int i = 0; i < intro_wave_columns; ++i) {
    int k = (i + 1) / 2;   // columns share their wave in pairs: 0, 1, 1, 2, 2, ...
    double p = std::sin((k - 2.5 * t) * c * 1.5);
    double q = std::sin((k - 4 * t) * c);
    intro.wave_a[i] = round_even(p * 100 + q * 73 + 310);
    intro.wave_b[i] = round_even(592 - (p * 30 + q * 48));
  }
  auto w = [u](double n) { return std::sin(n * u * 0.25); };
  double fade = 1.0;
  for (int i = 0; i < intro_colour_rows; ++i) {
    intro.credit_face[i] = rgb(round_even(w(i + t) * 90 + 125), round_even(w(i + 20 + t) * 90 + 125),
                               round_even(w(i + 40 + t) * 90 + 125));
    intro.scroller_face[i] =
        rgb(round_even(w(i) * 100 + 150), round_even(w(i + 50) * 100 + 150), round_even(w(i + 100) * 100 + 150));
    intro.reflection[i] = rgb(int32_t(std::floor((w(-10 - i) * 50 + 100) * fade)),
                              int32_t(std::floor((w(-90 - i) * 50 + 100) * fade)),
                              int32_t(std::floor((w(-170 - i) * 50 + 100) * fade)));
    // The mirror image fades out below row 521.
    if (i > 520) fade = std::max(fade - 0.015, 0.0);
  }
}

void stars_draw(FrameBuffer& frame, IntroScreen& intro, const AppState& app) {
  for (int i = 1; i <= intro_star_count; ++i) {
    int x = int(std::floor(intro.star_x[i]));
    int y = int(std::floor(intro.star_y[i]));
    const StarLayer& layer = star_layers[(i - 1) / 100];
    intro.star_x[i] += layer.speed * app.intro_frame_scale;
    if (x > 4 && x < 796) {
      frame.at(x, y) = frame.at(x + 1, y) = frame.at(x, y + 1) = frame.at(x + 1, y + 1) = layer.core;
      frame.at(x + 2, y) = frame.at(x + 2, y + 1) = frame.at(x - 1, y) = frame.at(x - 1, y + 1) = layer.rim;
      frame.at(x, y - 1) = frame.at(x + 1, y - 1) = frame.at(x, y + 2) = frame.at(x + 1, y + 2) = layer.rim;
    }
    if (intro.star_x[i] > 800) intro.star_x[i] -= 800;
  }
}

void scroller_draw(FrameBuffer& frame, IntroScreen& intro, AppState& app, const BigFont& font) {
  const std::string& text = intro.scroller_text;
  double step = std::min(app.intro_frame_scale, 5.0);
  if (clock_seconds() > app.scroller_hold_until) intro.scroller_x -= step;
  if (intro.scroller_x < -32) {
    intro.scroller_index += 1;
    size_t at = size_t(intro.scroller_index);
    if (at >= 1 && at <= text.size() && text[at - 1] == scroller_pause_mark)
      app.scroller_hold_until = clock_seconds() + 4.0;
    if (at > text.size()) intro.scroller_index = 1;
    intro.scroller_x += 32;
  }
  int x = int(std::floor(intro.scroller_x));
  size_t first = size_t(intro.scroller_index - 1);
  for (size_t i = first; i < text.size() && i < first + 28; ++i) {
    unsigned char ch = static_cast<unsigned char>(text[i]);
    int g = ch == scroller_pause_mark ? 0 : (big_font_upper(ch) - 32) * 32;
    if (g < 0 || g >= big_font_width) continue;   // outside the font: skipped, takes no room
    draw_wave_glyph(frame, intro, font, g, x);
    x += 32;
  }
}

void intro_clear(FrameBuffer& frame) {
  std::fill_n(frame.row(0), screen_width, 0u);
  for (int r = 1; r <= 50; ++r) std::fill_n(frame.row(r), screen_width, uint32_t(150 - 3 * (r - 1)));
  std::fill(frame.row(51), frame.pixels + screen_pixels, 0u);
}
