#pragma once
// Moving the page view. Every limit is page_length - 33, the highest top_line
// that still fills the 33-line view; a page that does not fill it stays at 0.
//   arrows: 6 pixels per frame, a line every second frame (line_offset 0..12)
//   wheel:  4 lines per notch, line_offset untouched
//   page keys: 33 lines, or to either end
#include "app/app_state.h"

void scroll_by_arrow_keys(AppState& app, bool down_held, bool up_held);
// `wheel_counter` is the display's wheel counter now; the previous one is kept in app.
void scroll_by_wheel(AppState& app, int wheel_counter);
void scroll_page_up(AppState& app);
void scroll_page_down(AppState& app);
void scroll_to_end(AppState& app);
void scroll_to_home(AppState& app);
