#pragma once
// The intro's tunes: the application's table of the twelve embedded PSID files
// (subsong 0 each), and the two tune choices of the intro screen.
#include <cstdint>

#include "sid/sid_player.h"

// Filled from the embedded tunes; hand it to sid_set_tunes at start-up.
SidTuneTable intro_tune_table();

// The first tune from a uniform random value in [0, 1): 1..12.
int32_t intro_first_tune(double uniform);

// Function key Fk struck in the intro: plays tune k unless it already plays.
// Returns true when it switched.
bool intro_select_tune(int32_t& current_tune, int k);
