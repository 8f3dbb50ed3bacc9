#pragma once
// The intro screen's effects, drawn in this order each frame:
//   raster_bars_draw, intro_tables_update, stars_draw, (credits), scroller_draw,
//   then after the present intro_clear prepares the next frame's backdrop.
// Motion follows intro_phase (50 per second) and intro_frame_scale (the last
// frame's duration x 250), so the speed is the same at any frame rate.
#include "app/app_state.h"
#include "gfx/big_font.h"
#include "gfx/frame_buffer.h"
#include "gfx/intro_screen.h"

void stars_init(IntroScreen& intro);
void raster_bars_draw(FrameBuffer& frame, const AppState& app);
void intro_tables_update(IntroScreen& intro, const AppState& app);
void stars_draw(FrameBuffer& frame, IntroScreen& intro, const AppState& app);
void scroller_draw(FrameBuffer& frame, IntroScreen& intro, AppState& app, const BigFont& font);
void intro_clear(FrameBuffer& frame);

// One raster bar: 32 rows of pure blue rising by `step` per row to row 15, then
// falling to black; rows from 600 on are cut.
void raster_bar_draw(FrameBuffer& frame, int32_t step, int32_t top_row);
