#include "gfx/frame_buffer.h"

#include <algorithm>

void frame_clear(FrameBuffer& frame, uint32_t colour) { std::fill_n(frame.pixels, screen_pixels, colour); }
