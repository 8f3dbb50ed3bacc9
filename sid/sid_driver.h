#pragma once
// The PSID driver: load a tune into the memory image, call its init routine,
// then one play call per chunk of output. The intro's stream and sidrender both
// go through sid_prepare_tune and sid_render_chunk.
//
// Any bytes are safe: the loader never reads past `length` nor copies past $FFFF,
// and every routine call ends after a bound on its instructions.
#include <cstdint>

#include "sid/sid_state.h"

constexpr uint32_t sid_sample_rate = 44100;
constexpr uint32_t sid_chunk_samples = 882;          // one play call each: 50 per second
constexpr uint32_t sid_buffer_chunks = 8;            // the output stream's refill unit
constexpr uint32_t sid_buffer_samples = sid_buffer_chunks * sid_chunk_samples;  // 160 ms

// Instruction bounds of one routine call. Real tunes stay far below them (init
// about 12,000, play about 1,600); a PAL frame cannot hold more than ~10,000.
constexpr uint32_t sid_init_instruction_limit = 2'000'000;
constexpr uint32_t sid_play_instruction_limit = 20'000;

enum class SidLoadResult : uint8_t {
  loaded,        // all data copied
  cut,           // data ran past $FFFF; the rest was dropped
  too_short,     // no header fields or no load address: nothing loaded
};

void sid_reset(SidPlayerState& state, uint32_t sample_rate);
// Parses the header and copies the data; the tune is silent if it was refused.
SidLoadResult sid_load(SidPlayerState& state, const uint8_t* tune, uint32_t length);
void sid_init_song(SidPlayerState& state, uint8_t subsong);
// One play call, then count samples of the chip's output.
void sid_render_chunk(SidPlayerState& state, int16_t* out, uint32_t count);
// 8 chunks in a row into one output buffer of sid_buffer_samples.
void sid_render_buffer(SidPlayerState& state, int16_t* out);
// Runs a routine until it returns to $0000/$0001 or hits the limit; returns the
// instruction count.
uint32_t cpu_call(SidPlayerState& state, uint16_t address, uint8_t a, uint32_t instruction_limit);

// Reset, load and init with the chosen song: everything before the first chunk.
SidLoadResult sid_prepare_tune(SidPlayerState& state, const uint8_t* tune, uint32_t length, uint8_t subsong);

// Why bytes are no PSID file, or nullptr for a usable one. Stricter than the
// loader: for tools that want to tell the user.
const char* psid_problem(const uint8_t* bytes, uint32_t length);
