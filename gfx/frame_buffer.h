#pragma once
// The one frame the program draws into: 800 x 600 pixels, row-major, top row
// first, each 0x00RRGGBB (the top byte means nothing). Too big for the stack: the
// program holds one instance for its whole run.
#include <cstdint>

constexpr int screen_width = 800;
constexpr int screen_height = 600;
constexpr int screen_pixels = screen_width * screen_height;

struct FrameBuffer {
  uint32_t pixels[screen_pixels];

  uint32_t& at(int x, int y) { return pixels[y * screen_width + x]; }
  uint32_t at(int x, int y) const { return pixels[y * screen_width + x]; }
  uint32_t* row(int y) { return pixels + y * screen_width; }
  const uint32_t* row(int y) const { return pixels + y * screen_width; }
};

void frame_clear(FrameBuffer& frame, uint32_t colour = 0);
