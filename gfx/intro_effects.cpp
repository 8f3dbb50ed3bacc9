// Raster bars, starfield, the wave and colour tables, the scroller and the
// intro's backdrop. "Round" is to the nearest integer with halves to even.
#include "gfx/intro_effects.h"

#include <algorithm>
#include <cmath>

#include "gfx/large_font.h"
#include "platform/clock.h"
#include "platform/random.h"

namespace {

// The angles keep the original's units to the last digit, so that every pixel
// lands where it always did: the bars count in steps of two degrees with pi
// taken as 3.14, the waves and the colour tables in steps of a half and of six
// degrees with pi taken as 3.143.
constexpr double bar_pi = 3.14;
constexpr double half_degree = 0.00873055555555556;   // 3.143 / 360
constexpr double six_degrees = 0.104766666666667;     // 3.143 / 30

// Two degrees per unit, the way the bars compute it (the division comes last).
double bar_angle(double units) { return units * bar_pi / 90; }

// The two sets of seven bars: bar i of a set has step i x step_factor and swings
// about its centre row by the amplitude (the second set against the first).
struct BarSet {
  int32_t step_factor;
  double amplitude, centre_row;
};
constexpr BarSet bar_sets[2] = {{2, 100, 375}, {1, -80, 595}};
constexpr int bars_per_set = 7;

// Stars start anywhere across the screen on rows 22..491.
constexpr double star_field_top = 22, star_field_height = 470;

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
constexpr int stars_per_layer = intro_star_count / 3;

// The mirror image is at full strength down to row 521; below, each row loses
// another 1.5 % until it is black.
constexpr int reflection_last_full_row = 521;
constexpr double reflection_fade_per_row = 0.015;

constexpr double scroller_max_step = 5.0;        // pixels per frame, however long the frame
constexpr double scroller_pause_seconds = 4.0;   // at each pause mark
constexpr int scroller_cells_shown = 28;         // characters drawn from scroller_index on

// The backdrop: black with a blue ramp in rows 1..50, from 150 down to 3.
constexpr int ramp_first_row = 1, ramp_last_row = 50;
constexpr int32_t ramp_top_blue = 150, ramp_blue_step = 3;

int32_t round_even(double value) { return int32_t(std::nearbyint(value)); }

uint32_t rgb(int32_t r, int32_t g, int32_t b) { return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }

}  // namespace

void stars_init(IntroScreen& intro) {
  for (int i = 1; i <= intro_star_count; ++i) {
    intro.star_x[i] = random_uniform() * screen_width;
    intro.star_y[i] = random_uniform() * star_field_height + star_field_top;
  }
}

void raster_bar_draw(FrameBuffer& frame, int32_t step, int32_t top_row) {
  int32_t value = 0;
  for (int r = 0; r < 32; ++r) {
    value += r < 16 ? step : -step;
    int y = top_row + r;
    if (y < screen_height && y >= 0) std::fill_n(frame.row(y), screen_width, uint32_t(value));
  }
}

void raster_bars_draw(FrameBuffer& frame, double intro_phase) {
  for (int i = 1; i <= bars_per_set; ++i) {
    double a = std::sin(bar_angle(4 * i + intro_phase));
    for (const BarSet& set : bar_sets) raster_bar_draw(frame, set.step_factor * i, round_even(a * set.amplitude + set.centre_row));
  }
}

void intro_tables_update(IntroScreen& intro, double intro_phase) {
  const double t = intro_phase;
  // Wave A carries the scroller's glyphs about row 310; wave B, their mirror
  // image, swings about row 592, mostly below the screen.
  for (int i = 0; i < intro_wave_columns; ++i) {
    int k = (i + 1) / 2;   // columns share their wave in pairs: 0, 1, 1, 2, 2, ...
    double p = std::sin((k - 2.5 * t) * half_degree * 1.5);
    double q = std::sin((k - 4 * t) * half_degree);
    intro.wave_a[i] = round_even(p * 100 + q * 73 + 310);
    intro.wave_b[i] = round_even(592 - (p * 30 + q * 48));
  }
  // One and a half degrees per screen row.
  auto w = [](double n) { return std::sin(n * six_degrees * 0.25); };
  double fade = 1.0;
  for (int i = 0; i < intro_colour_rows; ++i) {
    intro.credit_face[i] = rgb(round_even(w(i + t) * 90 + 125), round_even(w(i + 20 + t) * 90 + 125),
                               round_even(w(i + 40 + t) * 90 + 125));
    intro.scroller_face[i] =
        rgb(round_even(w(i) * 100 + 150), round_even(w(i + 50) * 100 + 150), round_even(w(i + 100) * 100 + 150));
    intro.reflection[i] = rgb(int32_t(std::floor((w(-10 - i) * 50 + 100) * fade)),
                              int32_t(std::floor((w(-90 - i) * 50 + 100) * fade)),
                              int32_t(std::floor((w(-170 - i) * 50 + 100) * fade)));
    if (i >= reflection_last_full_row) fade = std::max(fade - reflection_fade_per_row, 0.0);
  }
}

void stars_draw(FrameBuffer& frame, IntroScreen& intro, double intro_frame_scale) {
  for (int i = 1; i <= intro_star_count; ++i) {
    int x = int(std::floor(intro.star_x[i]));
    int y = int(std::floor(intro.star_y[i]));
    const StarLayer& layer = star_layers[(i - 1) / stars_per_layer];
    intro.star_x[i] += layer.speed * intro_frame_scale;
    if (x > 4 && x < 796) {
      frame.at(x, y) = frame.at(x + 1, y) = frame.at(x, y + 1) = frame.at(x + 1, y + 1) = layer.core;
      frame.at(x + 2, y) = frame.at(x + 2, y + 1) = frame.at(x - 1, y) = frame.at(x - 1, y + 1) = layer.rim;
      frame.at(x, y - 1) = frame.at(x + 1, y - 1) = frame.at(x, y + 2) = frame.at(x + 1, y + 2) = layer.rim;
    }
    if (intro.star_x[i] > screen_width) intro.star_x[i] -= screen_width;
  }
}

void scroller_draw(FrameBuffer& frame, IntroScreen& intro, const BigFont& font, double intro_frame_scale,
                   double& scroller_hold_until) {
  const std::string& text = intro.scroller_text;
  double step = std::min(intro_frame_scale, scroller_max_step);
  if (clock_seconds() > scroller_hold_until) intro.scroller_x -= step;
  if (intro.scroller_x < -big_font_glyph_size) {
    intro.scroller_index += 1;
    size_t at = size_t(intro.scroller_index);
    if (at >= 1 && at <= text.size() && text[at - 1] == scroller_pause_mark)
      scroller_hold_until = clock_seconds() + scroller_pause_seconds;
    if (at > text.size()) intro.scroller_index = 1;
    intro.scroller_x += big_font_glyph_size;
  }
  int x = int(std::floor(intro.scroller_x));
  size_t first = size_t(intro.scroller_index - 1);
  for (size_t i = first; i < text.size() && i < first + scroller_cells_shown; ++i) {
    unsigned char ch = static_cast<unsigned char>(text[i]);
    int g = ch == scroller_pause_mark ? 0 : big_font_glyph_column(ch);
    if (g < 0 || g >= big_font_width) continue;   // outside the font: skipped, takes no room
    draw_wave_glyph(frame, intro, font, g, x);
    x += big_font_glyph_size;
  }
}

void intro_clear(FrameBuffer& frame) {
  std::fill_n(frame.row(0), screen_width, 0u);
  for (int r = ramp_first_row; r <= ramp_last_row; ++r)
    std::fill_n(frame.row(r), screen_width, uint32_t(ramp_top_blue - ramp_blue_step * (r - ramp_first_row)));
  std::fill(frame.row(ramp_last_row + 1), frame.pixels + screen_pixels, 0u);
}
