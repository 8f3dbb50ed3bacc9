// Menu clicks and drawing.
#include "app/menu.h"

#include <cmath>

#include "app/bands.h"
#include "app/buttons.h"
#include "gfx/blend_rect.h"

namespace {

constexpr MenuLayout layouts[2] = {
    {{1, 2, 3, 4, 5}, {6, 7, 8, 9}, "> Articles Menu"},
    {{11, 13, 14, 15, 16}, {17, 18, 19, 20}, "> Charts Menu"},
};

constexpr int32_t label_y(int k) { return 60 + 12 * (k - 1); }
constexpr int32_t left_x = 148, right_x = 402;
constexpr int32_t clip_x0 = 146, clip_x1 = 649, clip_y0 = 40, clip_y1 = 145;

bool row_hit(int k, int32_t py) { return label_y(k) < py && py < label_y(k) + 12; }

void open_entry(Menu& menu, Buttons& buttons, const PageChanger& pages, int32_t e) {
  if (menu.visible[e] != 1 || menu.page_marks[e] != 0) return;
  clear_page_marks(menu);
  menu.page_marks[e] = 1;
  buttons.button[button_rules].state = 0;
  buttons.button[button_help].state = 0;
  change_page(pages, e);
}

// Hover bar of one row; hovered bars light up and set the hover pointer.
void row_bar(FrameBuffer& frame, AppState& app, int32_t x, int k, int32_t hover_from, int32_t hover_to) {
  int32_t y0 = 61 + 12 * (k - 1);
  bool hovered = y0 < app.pointer_y && app.pointer_y < y0 + 10 && hover_from <= app.pointer_x &&
                 app.pointer_x < hover_to && app.click_latch == 0;
  if (hovered) {
    blend_rect(frame, x, y0, 245, 10, 125, 100, 100, 132);
    app.pointer_style = 2;
  } else {
    blend_rect(frame, x, y0, 245, 10, 60, 100, 100, 100);
  }
}

void draw_label(FrameBuffer& frame, const PageFont& font, const std::string& text, int32_t x, int32_t y, int32_t colour) {
  draw_text_clipped(frame, font, text, x, y, clip_x0, clip_x1, clip_y0, clip_y1, 1, colour);
}

}  // namespace

const MenuLayout& menu_layout(int32_t menu_mode) { return layouts[menu_mode == menu_charts ? 0 : 1]; }

void clear_page_marks(Menu& menu) {
  for (int i = 1; i <= switch_mark; ++i) menu.page_marks[i] = 0;
}

void handle_menu_click(Menu& menu, Buttons& buttons, AppState& app, const PageChanger& pages) {
  if (app.pointer_button == 0 || app.click_latch == 1) return;
  app.click_latch = 1;
  const MenuLayout& layout = menu_layout(app.menu_mode);
  for (int k = 1; k <= 5; ++k)
    if (row_hit(k, app.pointer_y) && 146 < app.pointer_x && app.pointer_x < 391)
      open_entry(menu, buttons, pages, layout.left[k - 1]);
  for (int k = 1; k <= 4; ++k)
    if (row_hit(k, app.pointer_y) && 400 < app.pointer_x && app.pointer_x < 645)
      open_entry(menu, buttons, pages, layout.right[k - 1]);
  if (104 < app.pointer_y && app.pointer_y < 120 && 400 < app.pointer_x && app.pointer_x < 645) {
    buttons.button[button_charts].state = 0;
    buttons.button[button_articles].state = 0;
    app.menu_mode += 1;
    if (app.menu_mode == menu_articles + 1) app.menu_mode = menu_charts;   // past the last menu: the first
  }
}

void draw_menu(FrameBuffer& frame, const Menu& menu, const PageFont& font, AppState& app) {
  const MenuLayout& layout = menu_layout(app.menu_mode);
  int32_t header_x = int32_t(std::nearbyint(404 - 9.0 * double(menu.header.size()) / 2));
  draw_label(frame, font, menu.header, header_x, 42, 25);
  for (int k = 1; k <= 5; ++k) {
    int32_t e = layout.left[k - 1];
    if (menu.visible[e] == 1) draw_label(frame, font, menu.labels[e], left_x, label_y(k), 2);
  }
  for (int k = 1; k <= 5; ++k) row_bar(frame, app, left_x, k, 149, 393);
  for (int k = 1; k <= 5; ++k)
    if (menu.page_marks[layout.left[k - 1]] == 1) blend_rect(frame, left_x, label_y(k), 245, 10, 90, 200, 100, 100);
  for (int k = 1; k <= 4; ++k) {
    int32_t e = layout.right[k - 1];
    if (menu.visible[e] == 1) draw_label(frame, font, menu.labels[e], right_x, label_y(k), 2);
  }
  draw_label(frame, font, layout.switch_label, right_x, 108, 1);
  for (int k = 1; k <= 5; ++k) row_bar(frame, app, right_x, k, 403, 647);
  for (int k = 1; k <= 5; ++k) {
    int32_t mark = k <= 4 ? menu.page_marks[layout.right[k - 1]] : menu.page_marks[switch_mark];
    if (mark == 1) blend_rect(frame, right_x, label_y(k), 245, 10, 90, 200, 100, 100);
  }
  draw_band(frame, 57, 144, 507, 8, app.magazine_phase);
  draw_band(frame, 122, 144, 507, 8, app.magazine_phase);
}
