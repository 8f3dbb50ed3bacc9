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
    // The screen buttons: exit, the two menus, Rules and Help; one of them is lit.
    for (int i = button_exit; i <= button_help; ++i) {
      if (b[i].state != 0 || !pointer_inside(b[i], app)) continue;
      app.click_latch = 1;
      for (int j = button_exit; j <= button_help; ++j) b[j].state = 0;
      b[i].state = 1;
      if (i == button_exit) app.exit_requested = 1;
      if (i == button_charts) app.menu_mode = menu_charts;
      if (i == button_articles) app.menu_mode = menu_articles;
      if (i == button_rules || i == button_help) {
        change_page(pages, i == button_rules ? rules_page : help_page);
        clear_page_marks(menu);
      }
      break;
    }
  }
  Button& music_button = b[button_music];
  if (press_free(app) && music_button.state == 0 && pointer_inside(music_button, app)) {
    app.click_latch = 1;
    // --- XM call point: xm_stop_current ---
    if (music.stop_current) music.stop_current(music.context);
    music_button.state = 1;
  }
  if (press_free(app) && music_button.state == 1 && pointer_inside(music_button, app)) {
    app.click_latch = 1;
    // --- XM call point: xm_play_current (the module starts again) ---
    if (music.play_current) music.play_current(music.context);
    music_button.state = 0;
  }
  if (press_free(app)) {
    for (int i = button_module_1; i <= button_module_4; ++i) {
      if (b[i].state != 0 || !pointer_inside(b[i], app)) continue;
      app.click_latch = 1;
      // Choosing a module also turns the music on.
      for (int j = button_music; j <= button_module_4; ++j) b[j].state = 0;
      b[i].state = 1;
      app.ticker_pos = 1;
      app.current_module = module_of_button(i);
      // --- XM call point: play_module_1..4 (stops and frees the previous module) ---
      if (music.play_module) music.play_module(music.context, module_of_button(i));
      break;
    }
  }
  if (app.menu_mode == menu_charts) b[button_charts].state = 1;
  if (app.menu_mode == menu_articles) b[button_articles].state = 1;
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
