// The comb's columns for one wipe step.
#include "gfx/wipe_comb.h"

void wipe_comb(FrameBuffer& frame, int32_t s, int32_t bottom_row) {
  for (int32_t y = wipe_top; y <= bottom_row; ++y) {
    uint32_t* row = frame.row(y);
    for (int32_t k = 0; k <= s; k += 2) {
      row[wipe_left + k] = 0;
      row[wipe_right - k] = 0;
    }
  }
}
