#pragma once
// The intro's SID music: one player for the process, driven from the main thread.
//
//   sid_set_tunes(table)   once at start-up: the twelve embedded tunes
//   sid_play_tune(n)       stop, then start and resume tune n (1..12); any other
//                          n only stops. The same n again restarts that tune.
//   sid_stop()             silence for good (the change to the magazine)
//
// sid_start and sid_resume are the two halves of a tune start, for callers that
// want the buffers primed before the sound begins.
#include <cstdint>

#include "sid/sid_state.h"

struct SidTuneEntry {
  const uint8_t* bytes = nullptr;   // a PSID file
  uint32_t length = 0;
  uint8_t subsong = 0;              // handed to the init routine in A
};

constexpr int sid_tune_count = 12;

struct SidTuneTable {
  SidTuneEntry entry[sid_tune_count + 1];   // 1-based; entry[0] is unused
};

void sid_set_tunes(const SidTuneTable& tunes);
void sid_play_tune(int n);
// Stops, then loads, inits and primes the device paused (both buffers queued).
// False when no output device could be opened: the tune is then silent.
bool sid_start(const uint8_t* tune, uint32_t length, uint8_t subsong);
void sid_stop();
void sid_resume();

// True while an output device is open (between start and stop).
bool sid_device_open();
// The player's one record, for tests and diagnostics; stable while stopped.
const SidPlayerState& sid_player_state();
