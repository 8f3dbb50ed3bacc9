#pragma once
// The program's own mouse pointer: one 11 x 11 arrow in two colourings,
// style 1 normal and style 2 (any other) for hovering over a control.
#include <cstdint>

#include "app/pointer_buttons.h"
#include "gfx/frame_buffer.h"

struct PointerImages {
  uint32_t pixel[2][pointer_size * pointer_size];
  bool opaque[pointer_size * pointer_size];
};

// Builds both images from the 121 pointer values at `at`.
void pointer_images_build(PointerImages& images, const int32_t* at);
// Top-left corner at (x, y); drawn only when 0 < x < 792 and 0 < y < 592, and
// only the part that lies on the frame (a corner at 791 would reach past it).
void draw_pointer(FrameBuffer& frame, const PointerImages& images, int32_t style, int32_t x, int32_t y);
