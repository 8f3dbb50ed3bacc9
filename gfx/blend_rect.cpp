// blend_rect: red and blue in one multiplication, green in another.
#include "gfx/blend_rect.h"

void blend_rect(FrameBuffer& frame, int32_t x, int32_t y, int32_t w, int32_t h, int32_t alpha, int32_t r, int32_t g,
                int32_t b) {
  uint32_t c = uint32_t(alpha) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
  uint32_t a = uint32_t(int32_t(c) >> 24);
  uint32_t keep = 256 - a;
  for (int32_t row = y; row <= y + h; ++row) {
    uint32_t* p = frame.row(row);
    for (int32_t col = x; col <= x + w; ++col) {
      uint32_t d = p[col];
      uint32_t rb = ((c & 0x00FF00FF) * a + (d & 0x00FF00FF) * keep) & 0xFF00FF00;
      uint32_t gg = ((c & 0x0000FF00) * a + (d & 0x0000FF00) * keep) & 0x00FF0000;
      p[col] = (rb | gg) >> 8;
    }
  }
}
