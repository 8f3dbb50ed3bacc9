#pragma once
// The intro screen's effects, drawn in this order each frame:
//   raster_bars_draw, intro_tables_update, stars_draw, (credits), scroller_draw,
//   then after the present intro_clear prepares the next frame's backdrop.
// Motion follows the intro clocks the application keeps and passes in:
// intro_phase (grows 50 per second) and intro_frame_scale (the last frame's
// duration x 250), so the speed is the same at any frame rate.
#include <cstdint>

#include "gfx/big_font.h"
#include "gfx/frame_buffer.h"
#include "gfx/intro_screen.h"

void stars_init(IntroScreen& intro);
void raster_bars_draw(FrameBuffer& frame, double intro_phase);
void intro_tables_update(IntroScreen& intro, double intro_phase);
void stars_draw(FrameBuffer& frame, IntroScreen& intro, double intro_frame_scale);
// Moves the scroller unless the wall clock is before scroller_hold_until, and
// sets scroller_hold_until 4 s ahead when a pause mark becomes the first
// character; then draws the characters on the waves.
void scroller_draw(FrameBuffer& frame, IntroScreen& intro, const BigFont& font, double intro_frame_scale,
                   double& scroller_hold_until);
void intro_clear(FrameBuffer& frame);

// One raster bar: 32 rows of pure blue rising by `step` per row to row 15, then
// falling to black; rows from 600 on are cut.
void raster_bar_draw(FrameBuffer& frame, int32_t step, int32_t top_row);
