#pragma once
// Noise flashes: half a second of random colour bands, a fresh set every
// presented frame; coarse bands are 10 rows high, fine ones 2. They frame the
// intro on both sides and leave the intro clocks alone.
#include "gfx/frame_buffer.h"

void noise_flash_coarse(FrameBuffer& frame);
void noise_flash_fine(FrameBuffer& frame);
void noise_flash(FrameBuffer& frame, int band_height);
