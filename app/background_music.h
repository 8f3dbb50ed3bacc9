#pragma once
// The magazine's background music: the XM player with its current module, the
// channel count the bars read and the bars themselves, one BackgroundMusic the
// program owns. play_module_N stops and frees the module that plays, loads
// module N, starts it from the beginning and records its channel count in
// music_channels (0 when the module did not load: the music stays silent).
// Music off and on are xm_stop_current and xm_play_current on the player; at the
// end of the magazine, xm_stop_current then xm_free_current.
#include <cstdint>

#include "app/magazine_hooks.h"
#include "app/music_bars.h"
#include "gfx/frame_buffer.h"
#include "xm/xm_player.h"

struct BackgroundMusic {
  XmPlayer player;
  int32_t music_channels = 0;  // channels of the module that plays
  MusicBars bars;              // reset_bars at start-up
};

// n = 1..4; a module that does not load leaves the music silent.
void play_module(BackgroundMusic& music, int32_t n);
void play_module_1(BackgroundMusic& music);
void play_module_2(BackgroundMusic& music);
void play_module_3(BackgroundMusic& music);
void play_module_4(BackgroundMusic& music);

// Excites the bars from the row being heard (read once for the frame) and draws them.
void update_music_bars(BackgroundMusic& music, FrameBuffer& frame, int32_t skin);

// The calls the magazine's buttons and draw_magazine make: music off, music on
// (the song starts again), modules 1..4, and the bars of the notes being heard.
MusicCalls background_music_calls(BackgroundMusic& music);
