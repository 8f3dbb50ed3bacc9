#pragma once
// The intro's tunes: the application's table of the twelve embedded PSID files
// (subsong 0 each), the two tune choices of the intro screen, and the one report
// of a sound device that fails while they play.
#include <cstdint>

#include "sid/sid_player.h"

// Filled from the embedded tunes; hand it to sid_set_tunes at start-up.
SidTuneTable intro_tune_table();

// The first tune from a uniform random value in [0, 1): 1..12.
int32_t intro_first_tune(double uniform);

// Function key Fk struck in the intro: plays tune k unless it already plays.
// Returns true when it switched.
bool intro_select_tune(SidPlayer& player, int32_t& current_tune, int k);

// On the main thread, between frames: if a SID buffer operation has failed, the
// message box "Error" with the platform's text, once in the run. Returns true
// when it showed it.
bool intro_report_tune_failure(SidPlayer& player);
