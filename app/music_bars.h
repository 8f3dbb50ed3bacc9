#pragma once
// The music panel's 40 bars: they jump where the notes being heard fall
// (excite_bars), sink two rows a frame and are drawn into the frame
// (draw_bars). Smaller levels are higher bars; a bar at rest sits just below
// the floor (row 147) and draws nothing. The spine calls update_bars each
// magazine frame while the music is on; while it is off the bars are not
// drawn and their levels stay as they were.
#include <cstdint>

#include "app/app_state.h"
#include "gfx/frame_buffer.h"

struct MusicBars {
  double levels[music_bar_count + 1];  // 0..39 used
};

void reset_bars(MusicBars& bars);
// cells: each channel's cell in the row being heard (xm_current_cell: the note in
// the low byte), channels of them.
void excite_bars(MusicBars& bars, int32_t channels, const uint16_t* cells);
// skin 1 draws with the warm colours at its place, any other skin 2 rows lower
// with the cold ones.
void draw_bars(MusicBars& bars, FrameBuffer& frame, int32_t skin);
void update_bars(MusicBars& bars, FrameBuffer& frame, int32_t skin, int32_t channels, const uint16_t* cells);

// Colour of bar row r (0x00RRGGBB); black above row 135 and below row 148.
uint32_t bar_colour(int32_t skin, int32_t row);
