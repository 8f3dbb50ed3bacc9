#include "gfx/blend_rect.h"

void blend_rect(FrameBuffer& frame, int32_t x, int32_t y, int32_t w, int32_t h, int32_t alpha, int32_t r, int32_t g,
                int32_t b) {
  uint32_t colour = (uint32_t(alpha) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
  // The alpha comes back out of the packed colour with its sign, as it went in.
  uint32_t a = uint32_t(int32_t(colour) >> 24);
  uint32_t keep = 256u - a;
  uint32_t colour_rb = (colour & 0x00FF00FFu) * a;
  uint32_t colour_g = (colour & 0x0000FF00u) * a;
  for (int32_t row = y; row <= y + h; ++row) {
    uint32_t* pixel = frame.row(row) + x;
    for (int32_t i = 0; i <= w; ++i) {
      uint32_t d = pixel[i];
      uint32_t rb = (colour_rb + (d & 0x00FF00FFu) * keep) & 0xFF00FF00u;
      uint32_t gg = (colour_g + (d & 0x0000FF00u) * keep) & 0x00FF0000u;
      pixel[i] = (rb | gg) >> 8;
    }
  }
}
