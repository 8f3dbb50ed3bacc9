#pragma once
// SidPlayer: the intro's SID music. One per process, owned by the program and
// passed to every call; all of it is driven from the main thread.
//
//   sid_set_tunes(p, table)   once at start-up: the twelve embedded tunes
//   sid_play_tune(p, n)       stop, then start and resume tune n (1..12); any
//                             other n only stops. The same n again restarts it.
//   sid_stop(p)               silence for good (the change to the magazine)
//   sid_take_failure_report   the text of a failing buffer call, once per run,
//                             for the main thread to show
//
// sid_start and sid_resume are the two halves of a tune start, for callers that
// want the buffers primed before the sound begins.
#include <cstddef>
#include <cstdint>

#include "sid/sid_state.h"
#include "sid/sid_stream.h"

struct SidTuneEntry {
  const uint8_t* bytes = nullptr;   // a PSID file
  uint32_t length = 0;
  uint8_t subsong = 0;              // handed to the init routine in A
};

constexpr int sid_tune_count = 12;

struct SidTuneTable {
  SidTuneEntry entry[sid_tune_count + 1];   // 1-based; entry[0] is unused
};

struct SidPlayer {
  SidPlayerState state;   // CPU, chip and memory image of the tune that plays
  SidStream stream;       // the wave output that renders it
  SidTuneTable tunes;
};

void sid_set_tunes(SidPlayer& player, const SidTuneTable& tunes);
void sid_play_tune(SidPlayer& player, int n);
// Stops, then loads, inits and primes the device paused (both buffers queued).
// False when no output device could be opened: the tune is then silent.
bool sid_start(SidPlayer& player, const uint8_t* tune, uint32_t length, uint8_t subsong);
void sid_stop(SidPlayer& player);
void sid_resume(SidPlayer& player);

// True while an output device is open (between start and stop).
bool sid_device_open(const SidPlayer& player);

// The first failing buffer operation of the run, as the platform's error text:
// true once, when there is one; false ever after. The audio thread only records
// the failure and plays on, so the report waits for the main thread to ask.
bool sid_take_failure_report(SidPlayer& player, char* text, size_t size);
