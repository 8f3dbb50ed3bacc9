#pragma once
// End of a magazine frame: release the click latch once the button is up, take
// the mouse for the next frame (clamped so the pointer stays on screen) and
// the paging keys, each when struck, in the order PageUp, PageDown, End, Home.
#include <cstdint>

#include "app/app_state.h"

struct InputSample {
  int32_t mouse_x = 0, mouse_y = 0, mouse_left = 0;
  bool page_up = false, page_down = false, end = false, home = false;  // struck
};

void sample_input(AppState& app, const InputSample& input);
