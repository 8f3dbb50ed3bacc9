// sample_input: latch release, pointer clamping, paging keys.
#include "app/input_sampling.h"

#include "app/page_scrolling.h"

void sample_input(AppState& app, const InputSample& input) {
  if (input.mouse_left == 0 && app.click_latch == 1) app.click_latch = 0;
  app.pointer_x = input.mouse_x;
  app.pointer_y = input.mouse_y;
  app.pointer_button = input.mouse_left;
  if (app.pointer_x < 1) app.pointer_x = 1;
  if (app.pointer_x > 789) app.pointer_x = 789;
  if (app.pointer_y > 589) app.pointer_y = 589;
  if (app.pointer_y < 1) app.pointer_y = 1;
  if (input.page_up) scroll_page_up(app);
  if (input.page_down) scroll_page_down(app);
  if (input.end) scroll_to_end(app);
  if (input.home) scroll_to_home(app);
}
