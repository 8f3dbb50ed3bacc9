#include "app/page_scrolling.h"

#include <cmath>

namespace {

int last_full_view(const AppState& app) { return app.page_length - page_view_lines; }

}  // namespace

void scroll_by_arrow_keys(AppState& app, bool down_held, bool up_held) {
  if (down_held && app.top_line < last_full_view(app)) {
    app.line_offset -= 6;
    if (app.line_offset <= 0) {
      app.top_line += 1;
      if (app.top_line > last_full_view(app)) app.top_line = last_full_view(app);
      app.line_offset += 12;
    }
  }
  if (up_held && app.top_line > 0) {
    app.line_offset += 6;
    // 11, not 12: the two halves of a line step are not symmetric.
    if (app.line_offset >= 11) {
      app.top_line -= 1;
      if (app.top_line < 0) app.top_line = 0;
      app.line_offset -= 12;
    }
  }
}

void scroll_by_wheel(AppState& app, int wheel_counter) {
  app.wheel_prev = app.wheel_now;
  app.wheel_now = wheel_counter;
  if (app.wheel_now < app.wheel_prev && app.top_line < last_full_view(app)) {
    app.top_line += int(std::floor((app.wheel_prev - app.wheel_now) * 4));
    if (app.top_line > last_full_view(app)) app.top_line = last_full_view(app);
  }
  if (app.wheel_now > app.wheel_prev && app.top_line > 0) {
    app.top_line -= int(std::floor((app.wheel_now - app.wheel_prev) * 4));
    if (app.top_line < 0) app.top_line = 0;
  }
}

void scroll_page_up(AppState& app) {
  if (app.top_line < 1) return;
  app.top_line -= page_view_lines;
  if (app.top_line < 0) app.top_line = 0;
}

void scroll_page_down(AppState& app) {
  if (app.top_line >= last_full_view(app)) return;
  app.top_line += page_view_lines;
  if (app.top_line > last_full_view(app)) app.top_line = last_full_view(app);
}

void scroll_to_end(AppState& app) {
  app.top_line = last_full_view(app);
  if (app.top_line < 0) app.top_line = 0;
}

void scroll_to_home(AppState& app) { app.top_line = 0; }
