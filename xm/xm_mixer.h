#pragma once
// The software mixer and block renderer: 64 voices (voice i and i + 32 form the
// pair of channel i) read 16-bit samples with linear interpolation, follow
// forward and ping-pong loops and ramp every gain change over 128 output frames;
// xm_fill_block alternates between the module's tick and mixing the samples left in
// the tick, then rounds and clips the block into the 16-bit stereo ring.
//
// Loops, sample ends and ramps are handled once per segment: the segment length
// guarantees that no frame inside it crosses a loop point, so the inner loops
// carry no checks. Nothing here allocates except xm_renderer_start.
#include <cstdint>

struct XmModule;
struct XmSample;

constexpr int32_t xm_output_rate = 44100;
constexpr int32_t xm_block_frames = ((xm_output_rate * 20) / 1000 + 3) / 4 * 4;  // 884
constexpr int32_t xm_ramp_frames = (xm_output_rate * 128) / 44100;               // 128
constexpr int32_t xm_ring_blocks = (1000 / 20) * 2;                              // 100
constexpr int32_t xm_ring_frames = xm_ring_blocks * xm_block_frames;             // 88400
constexpr int xm_voice_count = 64;

struct MixVoice {
  uint32_t index;
  int32_t volume;            // 0..127 at full scale
  int32_t pan;               // 0 left .. 255 right
  uint32_t start_offset;     // where the next trigger starts
  XmSample* sample;          // null: silent, skipped
  int32_t gain_a;            // (255 - pan) x volume / 255: first sample of each frame (left)
  int32_t gain_b;            // pan x volume / 255: second sample (right)
  uint32_t position;
  uint32_t position_fraction;  // units of 2^-32
  uint32_t step_fraction;
  uint32_t step_integer;
  uint32_t direction;        // 1 forward, 2 backward
  int32_t ramp_target_a, ramp_target_b;
  int32_t ramp_level_a, ramp_level_b;  // applied gains x 256
  float ramp_step_a, ramp_step_b;      // per frame, in units of 1/255
  uint32_t ramp_left;
};

constexpr uint32_t xm_forward = 1;
constexpr uint32_t xm_backward = 2;

// What was playing when a block was rendered; the display reads the record of
// the block being heard. Eight bytes, so the player hands it over as one atomic word.
struct alignas(8) BlockRecord {
  uint8_t order;
  uint8_t row;
  uint32_t elapsed_ms;
};

struct XmRenderer;
// Called by xm_fill_block right after each tick with the frame of the block at which
// the tick's samples start: for tools and tests that follow a song tick by tick
// (its end, muted channels, state traces). The player leaves it null.
using XmTickObserver = void (*)(void* context, XmRenderer& renderer, int32_t frame);

struct XmRenderer {
  MixVoice voices[xm_voice_count];
  XmModule* module = nullptr;           // the playing module
  float* mix = nullptr;                 // 2 floats per ring frame, 16-byte aligned
  int16_t* ring = nullptr;              // 2 values per ring frame
  BlockRecord* records = nullptr;        // one per block
  int32_t fill_index = 0;
  float rate_reciprocal = 0;
  float ramp_reciprocal = 0;
  XmTickObserver tick_observer = nullptr;
  void* observer_context = nullptr;
};

// Allocates the ring, the float buffer and the records, clears the voices and
// channels and puts the module at its start. False when memory runs out.
bool xm_renderer_start(XmRenderer& renderer, XmModule& module);
void xm_renderer_release(XmRenderer& renderer);

// Renders the next block of the ring and advances the fill index.
void xm_fill_block(XmRenderer& renderer);
void xm_mix_voices(XmRenderer& renderer, float* out, int32_t frames);
void xm_convert_block(int16_t* destination, const float* source, int32_t frames);

inline const int16_t* xm_ring_block(const XmRenderer& renderer, int32_t block) {
  return renderer.ring + block * xm_block_frames * 2;
}
