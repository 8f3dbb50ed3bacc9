#pragma once
// Line bands: a three-row rule centred on row y from column x, under a line's
// text. Styles 1..7 are solid colours (`length` pixels), 8 a rainbow that moves
// with magazine_phase (`length` + 1 pixels); any other style draws nothing.
// No clipping: callers keep it on the screen.
#include <cstdint>

#include "gfx/frame_buffer.h"

void draw_band(FrameBuffer& frame, int32_t y, int32_t x, int32_t length, int32_t style, double magazine_phase);
