// Button clicks, their actions and their tints.
#include "app/buttons.h"

#include <algorithm>

#include "gfx/blend_rect.h"

namespace {

bool press_free(const AppState& app) { return app.pointer_button != 0 && app.click_latch != 1; }

bool pointer_inside(const Button& b, const AppState& app) {
  return inside_box(current_box(b, app.skin), app.pointer_x, app.pointer_y);
}

struct Tint {
  int32_t alpha, r, g, b;
};
constexpr Tint glow_tint[2] = {{0, 30, 50, 125}, {0, 50, 100, 250}};
constexpr Tint lit_tint[2] = {{125, 125, 70, 20}, {95, 100, 150, 250}};

}  // namespace

void read_button_table(Buttons& buttons, const int32_t* at) {
  for (int i = 1; i <= button_count; ++i) {
    Button& b = buttons.button[i];
    b.box[0] = {at[0], at[1], at[2], at[3]};
    b.state = at[4];
    b.glow = at[5];
    at += 6;
  }
  for (int i = 1; i <= button_count; ++i) {
    buttons.button[i].box[1] = {at[0], at[1], at[2], at[3]};
    at += 4;
  }
}

bool inside_box(const ButtonBox& box, int32_t px, int32_t py) {
  return box.x < px && px < box.x + box.w && box.y < py && py < box.y + box.h;
}

const ButtonBox& current_box(const Button& button, int32_t skin) { return button.box[skin == 1 ? 0 : 1]; }

void handle_buttons(Buttons& buttons, Menu& menu, AppState& app, bool f1_struck, bool f2_struck, const PageChanger& pages,
                    const MusicCalls& music) {
  Button* b = buttons.button;
  if (f1_struck) app.skin = 1;
  if (f2_struck) app.skin = 2;
  if (press_free(app)) {
    for (int i = 1; i <= 5; ++i) {
      if (b[i].state != 0 || !pointer_inside(b[i], app)) continue;
      app.click_latch = 1;
      for (int j = 1; j <= 5; ++j) b[j].state = 0;
      b[i].state = 1;
      if (i == 1) app.exit_requested = 1;
      if (i == 2) app.menu_mode = 1;
      if (i == 3) app.menu_mode = 2;
      if (i == 4 || i == 5) {
        change_page(pages, i == 4 ? 12 : 10);
        clear_page_marks(menu);
      }
      break;
    }
  }
  if (press_free(app) && b[6].state == 0 && pointer_inside(b[6], app)) {
    app.click_latch = 1;
    // --- XM call point: xm_stop_current ---
    if (music.stop_current) music.stop_current(music.context);
    b[6].state = 1;
  }
  if (press_free(app) && b[6].state == 1 && pointer_inside(b[6], app)) {
    app.click_latch = 1;
    // --- XM call point: xm_play_current (the module starts again) ---
    if (music.play_current) music.play_current(music.context);
    b[6].state = 0;
  }
  if (press_free(app)) {
    for (int i = 7; i <= 10; ++i) {
      if (b[i].state != 0 || !pointer_inside(b[i], app)) continue;
      app.click_latch = 1;
      for (int j = 6; j <= 10; ++j) b[j].state = 0;
      b[i].state = 1;
      app.ticker_pos = 1;
      app.current_module = i - 6;
      // --- XM call point: play_module_1..4 (stops and frees the previous module) ---
      if (music.play_module) music.play_module(music.context, i - 6);
      break;
    }
  }
  if (app.menu_mode == 1) b[2].state = 1;
  if (app.menu_mode == 2) b[3].state = 1;
}

void draw_buttons(FrameBuffer& frame, Buttons& buttons, AppState& app) {
  app.pointer_style = 1;
  int skin = app.skin == 1 ? 0 : 1;
  for (int i = 1; i <= button_count; ++i) {
    Button& b = buttons.button[i];
    const ButtonBox& box = b.box[skin];
    if (b.glow > 0) b.glow = std::max(0, b.glow - 3);
    if (b.state != 1) {
      const Tint& t = glow_tint[skin];
      blend_rect(frame, box.x, box.y, box.w, box.h, b.glow, t.r, t.g, t.b);
      if (inside_box(box, app.pointer_x, app.pointer_y)) {
        app.pointer_style = 2;
        if (app.click_latch == 0) b.glow = std::min(125, b.glow + 10);
      }
    } else {
      const Tint& t = lit_tint[skin];
      blend_rect(frame, box.x, box.y, box.w, box.h, t.alpha, t.r, t.g, t.b);
    }
  }
}
