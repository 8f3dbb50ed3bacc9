#pragma once
// Noise flashes: half a second of random colour bands, a fresh set every
// presented frame; coarse bands are 10 rows high, fine ones 2. They frame the
// intro on both sides and leave the intro clocks alone.
#include "display/display.h"
#include "gfx/frame_buffer.h"

void noise_flash_coarse(FrameBuffer& frame, DisplayLayer& display);
void noise_flash_fine(FrameBuffer& frame, DisplayLayer& display);
void noise_flash(FrameBuffer& frame, DisplayLayer& display, int band_height);
