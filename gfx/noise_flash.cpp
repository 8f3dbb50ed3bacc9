#include "gfx/noise_flash.h"

#include <algorithm>
#include <cmath>

#include "display/display.h"
#include "platform/clock.h"
#include "platform/random.h"

void noise_flash(FrameBuffer& frame, DisplayLayer& display, int band_height) {
  double end = clock_seconds() + 0.5;
  while (clock_seconds() < end) {
    for (int top = 0; top < screen_height; top += band_height) {
      double u1 = random_uniform(), u2 = random_uniform(), u3 = random_uniform();
      uint32_t colour = uint32_t(std::nearbyint(u1 * 255)) << 16 | uint32_t(std::nearbyint(u2 * 255)) << 8 |
                        uint32_t(std::nearbyint(u3 * 255));
      int bottom = std::min(top + band_height, screen_height);
      std::fill(frame.row(top), frame.row(bottom - 1) + screen_width, colour);
    }
    display_update(display, frame.pixels);
    sleep_ms(1);
  }
}

void noise_flash_coarse(FrameBuffer& frame, DisplayLayer& display) { noise_flash(frame, display, 10); }
void noise_flash_fine(FrameBuffer& frame, DisplayLayer& display) { noise_flash(frame, display, 2); }
