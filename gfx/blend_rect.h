#pragma once
// The translucent rectangle under every glow, tint and highlight: a solid colour
// blended over columns x..x+w and rows y..y+h, both ends included. Each channel
// becomes (colour * a + old * (256 - a)) / 256, truncated; red and blue share one
// multiplication. No clipping: callers keep the box inside the frame. Alphas of
// 128 and above are not used; they behave as the same formula says.
#include <cstdint>

#include "gfx/frame_buffer.h"

void blend_rect(FrameBuffer& frame, int32_t x, int32_t y, int32_t w, int32_t h, int32_t alpha, int32_t r, int32_t g,
                int32_t b);
