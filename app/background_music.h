#pragma once
// The magazine's background music: the four embedded modules and the calls the
// spine and the music buttons use. play_module_N stops and frees the module that
// plays, loads module N, starts it from the beginning and records its channel
// count in music_channels (0 when the module did not load: the music stays
// silent). Music off and on are xm_stop_current and xm_play_current (xm/xm_player.h);
// at the end of the magazine, xm_stop_current then xm_free_current.
#include <cstdint>

#include "app/magazine_hooks.h"
#include "app/music_bars.h"

// Channels of the module that plays, for the music bars.
extern int32_t music_channels;
// The program's music bars (reset_bars at start-up).
extern MusicBars background_bars;

// n = 1..4; a module that does not load leaves the music silent.
void play_module(int32_t n);
void play_module_1();
void play_module_2();
void play_module_3();
void play_module_4();

// The calls the magazine's buttons and draw_magazine make: music off, music on
// (the song starts again), modules 1..4, and the bars of the notes being heard.
MusicCalls background_music_calls();
