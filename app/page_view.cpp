// Bands, text and the scroll bar of the page view.
#include "app/page_view.h"

#include <algorithm>
#include <cmath>

#include "app/bands.h"
#include "gfx/blend_rect.h"

namespace {

constexpr int32_t slot_top(const AppState& app, int32_t s) { return app.line_offset + 175 + 12 * s; }

}  // namespace

void draw_page_bands(FrameBuffer& frame, const PageStore& store, const AppState& app, int32_t top) {
  for (int32_t s = 0; s < page_view_lines; ++s) {
    int32_t yb = slot_top(app, s) + 6;
    if (yb > 192 && yb < 569) draw_band(frame, yb, 20, 750, std::max<int32_t>(0, store.bands[top + s]), app.magazine_phase);
  }
}

void draw_page_text(FrameBuffer& frame, const PageStore& store, const PageFont& font, const AppState& app, int32_t top) {
  int32_t y_max = app.skin == 1 ? 569 : 570;
  for (int32_t s = 0; s < page_view_lines; ++s) {
    int32_t line = top + s;
    if (line >= app.page_length) break;
    int32_t y = slot_top(app, s);
    bool opaque = store.bands[line] == 0 && s >= 1 && s <= 30;
    const uint8_t* characters = store.characters[line];
    for (int32_t n = 1; n < page_table_columns; ++n) {
      if (characters[n] == 0) continue;
      int32_t x = 23 + 9 * n;
      if (opaque)
        draw_text_cell_opaque(frame, font, characters[n], x, y, store.fonts[line][n], store.colours[line][n]);
      else
        draw_text_cell_clipped(frame, font, characters[n], x, y, 0, 800, 193, y_max, store.fonts[line][n],
                               store.colours[line][n]);
    }
  }
}

void draw_scrollbar(FrameBuffer& frame, const AppState& app) {
  if (app.page_length <= 33) return;
  int32_t yk = int32_t(std::nearbyint(361.0 / (app.page_length - 33) * app.top_line)) + 195;
  if (app.skin == 1) {
    blend_rect(frame, 779, yk, 8, 19, 80, 100, 150, 250);
    blend_rect(frame, 779, yk, 8, 19, app.scrollbar_glow, 100, 125, 200);
  } else {
    blend_rect(frame, 783, yk, 9, 19, 80, 50, 150, 250);
    blend_rect(frame, 783, yk, 9, 19, app.scrollbar_glow, 100, 150, 250);
  }
}

void handle_scrollbar(AppState& app) {
  if (app.pointer_button == 0) app.scrollbar_dragging = 0;
  int32_t k = app.skin == 1 ? 0 : 5;
  bool hovered = app.pointer_x > 775 + k && app.pointer_x < 791 + k && app.pointer_y > 200 && app.pointer_y < 561;
  if (hovered || app.scrollbar_dragging == 1) {
    if (app.page_length > 32) app.pointer_style = 2;
    if (app.pointer_button == 1 || app.scrollbar_dragging == 1) app.pointer_style = 1;
    if (app.pointer_button == 1) {
      app.scrollbar_dragging = 1;
      int32_t line = int32_t(std::nearbyint((app.pointer_y - 200) * double(app.page_length - 32) / 352.0));
      app.top_line = std::clamp(line, 0, std::max(0, app.page_length - 33));
    }
    if (app.scrollbar_glow < 125) app.scrollbar_glow += 5;
  } else if (app.scrollbar_glow > 0) {
    app.scrollbar_glow -= 5;
  }
}
