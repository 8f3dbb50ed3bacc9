#pragma once
// The magazine's background music: the four embedded modules and the calls the
// spine and the music buttons use. play_module_N stops and frees the module that
// plays, loads module N, starts it from the beginning and records its channel
// count in music_channels (0 when the module did not load: the music stays
// silent). Music off and on are xm_stop_current and xm_play_current (xm/xm_player.h);
// at the end of the magazine, xm_stop_current then xm_free_current.
#include <cstdint>

// Channels of the module that plays, for the music bars.
extern int32_t music_channels;

// n = 1..4; false when the module did not load or the device did not start.
bool play_module(int n);
void play_module_1();
void play_module_2();
void play_module_3();
void play_module_4();
