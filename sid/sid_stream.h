#pragma once
// SidStream: the SID player's wave output. 16-bit mono at 44,100 Hz through
// two fixed buffers of 8 chunks (7,056 samples, 160 ms) each, always both queued.
// When the device hands a buffer back, its done hook renders the next 8 chunks
// (one play call each) into it and queues it again, so the play routine runs
// exactly as fast as the device consumes sound.
//
// Start opens the device paused with both buffers rendered and queued; resume
// lets it play. Stop closes the refill gate, waits out a refill that is already
// running, then resets and closes the device: no refill and no play call
// happens after stop returns. All three run on the main thread.
//
// A failing prepare, unprepare or write is recorded, never shown from the hook
// (a dialog there would hold the refill, and stop would wait for it for ever):
// the first one of the stream's life waits in `failure` until the main thread
// takes it with sid_stream_take_failure, which hands it out once.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/wave_out.h"
#include "sid/sid_driver.h"

constexpr uint32_t sid_buffer_bytes = sid_buffer_samples * 2;

struct SidStream {
  WaveDevice* device = nullptr;
  SidPlayerState* player = nullptr;
  WaveHeader header[2];                          // user word: the buffer's index
  int16_t buffer[2][sid_buffer_samples] = {};
  // Bit 0: refills allowed. Above it: refills in progress, in steps of 2.
  std::atomic<uint32_t> gate{0};
  std::atomic<int> failure{wave_ok};   // the first failing buffer call's result
  bool failure_taken = false;          // main thread only
};

// False when no device could be opened; the tune is then silent.
bool sid_stream_start(SidStream& stream, SidPlayerState& player);
void sid_stream_resume(SidStream& stream);
void sid_stream_stop(SidStream& stream);
// Main thread: the platform's text for the recorded failure; true only the
// first time there is one to hand out.
bool sid_stream_take_failure(SidStream& stream, char* text, size_t size);
