// Mixer and block renderer. Positions are 32.32 fixed point, handled here as
// one signed 64-bit value (sample positions stay far below 2^31). Each voice is
// rendered in segments that end at a loop point, the sample end or the end of a
// gain ramp; the frame count of a segment is exact, so no frame inside it reads
// past a loop's guard value.
#include "xm/xm_mixer.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include <emmintrin.h>

#include "xm/xm_module.h"
#include "xm/xm_replay.h"

namespace {

constexpr float fraction_scale = 1.0f / 2147483648.0f;  // top 31 bits of the fraction -> [0, 1)

int64_t position_of(const MixVoice& v) { return int64_t(v.position) << 32 | v.position_fraction; }
int64_t step_of(const MixVoice& v) { return int64_t(v.step_integer) << 32 | v.step_fraction; }

void store_position(MixVoice& v, int64_t position) {
  v.position = uint32_t(uint64_t(position) >> 32);
  v.position_fraction = uint32_t(uint64_t(position));
}

inline float sample_at(const int16_t* data, int64_t position) {
  const int16_t* d = data + (position >> 32);
  float t = float(uint32_t(position) >> 1) * fraction_scale;
  return float(d[0]) + float(d[1] - d[0]) * t;
}

// Renders `count` frames at fixed gains and returns the new position. Four
// frames at a time: each sample pair d[p], d[p + 1] is one 32-bit load, and the
// arithmetic per frame is exactly that of sample_at, lane by lane.
int64_t render_flat(const int16_t* data, int64_t position, int64_t step, float* out, int32_t count, float gain_a,
                    float gain_b) {
  const __m128 scale = _mm_set1_ps(fraction_scale);
  const __m128 ga = _mm_set1_ps(gain_a), gb = _mm_set1_ps(gain_b);
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    int64_t p0 = position, p1 = p0 + step, p2 = p1 + step, p3 = p2 + step;
    position = p3 + step;
    int32_t pair[4];
    std::memcpy(&pair[0], data + (p0 >> 32), 4);
    std::memcpy(&pair[1], data + (p1 >> 32), 4);
    std::memcpy(&pair[2], data + (p2 >> 32), 4);
    std::memcpy(&pair[3], data + (p3 >> 32), 4);
    __m128i pairs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pair));
    __m128i d0 = _mm_srai_epi32(_mm_slli_epi32(pairs, 16), 16);
    __m128i d1 = _mm_srai_epi32(pairs, 16);
    __m128i fractions = _mm_set_epi32(int32_t(uint32_t(p3) >> 1), int32_t(uint32_t(p2) >> 1),
                                      int32_t(uint32_t(p1) >> 1), int32_t(uint32_t(p0) >> 1));
    __m128 t = _mm_mul_ps(_mm_cvtepi32_ps(fractions), scale);
    __m128 s = _mm_add_ps(_mm_cvtepi32_ps(d0), _mm_mul_ps(_mm_cvtepi32_ps(_mm_sub_epi32(d1, d0)), t));
    __m128 a = _mm_mul_ps(s, ga), b = _mm_mul_ps(s, gb);
    __m128 lo = _mm_unpacklo_ps(a, b), hi = _mm_unpackhi_ps(a, b);
    _mm_storeu_ps(out, _mm_add_ps(_mm_loadu_ps(out), lo));
    _mm_storeu_ps(out + 4, _mm_add_ps(_mm_loadu_ps(out + 4), hi));
    out += 8;
  }
  for (; i < count; ++i) {
    float s = sample_at(data, position);
    position += step;
    out[0] += s * gain_a;
    out[1] += s * gain_b;
    out += 2;
  }
  return position;
}

int64_t render_ramp(const int16_t* data, int64_t position, int64_t step, float* out, int32_t count, float& gain_a,
                    float& gain_b, float step_a, float step_b) {
  float a = gain_a, b = gain_b;
  for (int32_t i = 0; i < count; ++i) {
    float s = sample_at(data, position);
    position += step;
    out[0] += s * a;
    out[1] += s * b;
    a += step_a;
    b += step_b;
    out += 2;
  }
  gain_a = a;
  gain_b = b;
  return position;
}

// Turns the voice at a loop point or the sample end: wraps a forward loop,
// reflects a ping-pong loop, stops a one-shot. Returns false when it stopped.
bool at_boundary(MixVoice& v, int64_t& position) {
  const XmSample& s = *v.sample;
  int64_t loop_start = int64_t(s.loop_start) << 32;
  int64_t loop_length = int64_t(s.loop_length) << 32;
  int64_t loop_end = loop_start + loop_length;
  if (s.loop_mode == xm_loop_forward && loop_length > 0) {
    if (position >= loop_end) position -= ((position - loop_end) / loop_length + 1) * loop_length;
    return true;
  }
  if (s.loop_mode == xm_loop_ping_pong && loop_length > 0) {
    // Two reflections move a position by twice the loop: take those at once.
    int64_t period = 2 * loop_length;
    if (v.direction == xm_forward && position - loop_end >= period)
      position -= (position - loop_end) / period * period;
    if (v.direction == xm_backward && loop_start - position >= period)
      position += (loop_start - position) / period * period;
    for (;;) {
      if (v.direction == xm_forward) {
        if (position < loop_end) break;
        position = 2 * loop_end - position - 1;
        v.direction = xm_backward;
      } else {
        if (position > loop_start) break;
        position = 2 * loop_start - position - 1;
        if (position < 0) position = 0;  // a loop from 0 reflected exactly at 0
        v.direction = xm_forward;
      }
    }
    return true;
  }
  v.sample = nullptr;
  position = 0;
  return false;
}

void start_ramp_if_needed(MixVoice& v, float ramp_reciprocal) {
  if (v.ramp_left && v.gain_a == v.ramp_target_a && v.gain_b == v.ramp_target_b) return;
  v.ramp_target_a = v.gain_a;
  v.ramp_target_b = v.gain_b;
  int32_t diff_a = v.gain_a - v.ramp_level_a / 256;
  int32_t diff_b = v.gain_b - v.ramp_level_b / 256;
  v.ramp_step_a = diff_a ? float(diff_a) / 255.0f * ramp_reciprocal : 0.0f;
  v.ramp_step_b = diff_b ? float(diff_b) / 255.0f * ramp_reciprocal : 0.0f;
  v.ramp_left = (diff_a || diff_b) ? uint32_t(xm_ramp_frames) : 0;
}

void render_voice(MixVoice& v, float* out, int32_t frames, float ramp_reciprocal) {
  int32_t remaining = frames;
  while (remaining > 0 && v.sample) {
    const XmSample& s = *v.sample;
    int64_t position = position_of(v);
    int64_t step = step_of(v);
    int64_t loop_start = int64_t(s.loop_start) << 32;
    int64_t loop_end = loop_start + (int64_t(s.loop_length) << 32);
    bool forward = v.direction != xm_backward;

    int64_t distance;
    if (forward) {
      int64_t end = position > loop_end ? int64_t(s.length) << 32 : loop_end;
      distance = end - position;
    } else {
      distance = position - loop_start;
    }
    if (distance <= 0) {
      if (at_boundary(v, position)) store_position(v, position);
      continue;
    }
    int64_t to_boundary = (distance + step - 1) / step;
    int32_t count = remaining;
    bool reaches_boundary = false;
    if (to_boundary <= count) {
      count = int32_t(to_boundary);
      reaches_boundary = true;
    }
    int64_t signed_step = forward ? step : -step;

    start_ramp_if_needed(v, ramp_reciprocal);
    if (v.ramp_left) {
      if (uint32_t(count) > v.ramp_left) {
        count = int32_t(v.ramp_left);
        reaches_boundary = false;
      }
      float a = float(v.ramp_level_a) / 256.0f / 255.0f;
      float b = float(v.ramp_level_b) / 256.0f / 255.0f;
      position = render_ramp(s.data, position, signed_step, out, count, a, b, v.ramp_step_a, v.ramp_step_b);
      v.ramp_level_a = int32_t(std::nearbyint(a * 255.0f * 256.0f));
      v.ramp_level_b = int32_t(std::nearbyint(b * 255.0f * 256.0f));
      v.ramp_left -= uint32_t(count);
      if (v.ramp_left == 0) {
        v.ramp_step_a = 0;
        v.ramp_step_b = 0;
        v.ramp_level_a = v.gain_a * 256;
        v.ramp_level_b = v.gain_b * 256;
      }
    } else if (v.gain_a == 0 && v.gain_b == 0) {
      // Silent (a faded-out note): the position moves on, the sum is unchanged.
      position += signed_step * count;
    } else {
      position = render_flat(s.data, position, signed_step, out, count, float(v.gain_a) / 255.0f,
                             float(v.gain_b) / 255.0f);
    }
    if (reaches_boundary) at_boundary(v, position);
    store_position(v, position);
    out += 2 * count;
    remaining -= count;
  }
}

}  // namespace

void xm_mix_voices(XmRenderer& renderer, float* out, int32_t frames) {
  for (MixVoice& v : renderer.voices)
    if (v.sample) render_voice(v, out, frames, renderer.ramp_reciprocal);
}

void xm_convert_block(int16_t* destination, const float* source, int32_t frames) {
  if (frames < 1 || !destination || !source) return;
  for (int32_t i = 0; i < frames * 2; ++i) {
    float x = source[i];
    // Clipping first gives the same result as rounding first, without
    // converting values that do not fit.
    if (x >= 32767.0f) x = 32767.0f;
    if (x <= -32768.0f) x = -32768.0f;
    // Adding and taking away 1.5 x 2^23 rounds to nearest, ties to even, as
    // lrint does in the default rounding mode (and without a library call).
    destination[i] = int16_t(int32_t((x + 12582912.0f) - 12582912.0f));
  }
}

void xm_fill_block(XmRenderer& r) {
  XmModule& m = *r.module;
  int32_t block = r.fill_index;
  float* out = r.mix + size_t(block) * xm_block_frames * 2;
  std::memset(out, 0, sizeof(float) * xm_block_frames * 2);
  int32_t left = m.samples_left_in_tick;
  int32_t done = 0;
  while (done < xm_block_frames) {
    if (left == 0) {
      m.tick_function(m);
      left = m.samples_per_tick;
      if (r.tick_observer) r.tick_observer(r.observer_context, r, done);
    }
    int32_t n = left < xm_block_frames - done ? left : xm_block_frames - done;
    xm_mix_voices(r, out + done * 2, n);
    done += n;
    left -= n;
    // The single-precision 1/R, carried in double: a full 882-frame tick adds 19.
    m.elapsed_ms += uint32_t(double(n) * double(r.rate_reciprocal) * 1000.0);
  }
  r.records[block] = BlockRecord{uint8_t(m.order), uint8_t(m.row), m.elapsed_ms};
  m.samples_left_in_tick = left;
  xm_convert_block(r.ring + size_t(block) * xm_block_frames * 2, out, xm_block_frames);
  r.fill_index = block + 1 == xm_ring_blocks ? 0 : block + 1;
}

bool xm_renderer_start(XmRenderer& r, XmModule& module) {
  xm_renderer_release(r);
  size_t mix_bytes = sizeof(float) * xm_ring_frames * 2 + 256;
  // Aligned new rather than std::aligned_alloc, which the Windows C runtime lacks.
  r.mix = static_cast<float*>(::operator new(mix_bytes, std::align_val_t{16}, std::nothrow));
  r.ring = static_cast<int16_t*>(std::calloc(size_t(xm_ring_frames) * 2, sizeof(int16_t)));
  r.records = new (std::nothrow) BlockRecord[xm_ring_blocks]();
  if (!r.mix || !r.ring || !r.records) {
    xm_renderer_release(r);
    return false;
  }
  std::memset(r.mix, 0, mix_bytes);
  r.rate_reciprocal = 1.0f / float(xm_output_rate);
  r.ramp_reciprocal = 1.0f / float(xm_ramp_frames);
  for (uint32_t i = 0; i < xm_voice_count; ++i) {
    r.voices[i] = MixVoice{};
    r.voices[i].index = i;
    r.voices[i].step_integer = 1;
    r.voices[i].direction = xm_forward;
  }
  xm_reset_replay(module, r.voices);
  r.module = &module;
  r.fill_index = 0;
  return true;
}

void xm_renderer_release(XmRenderer& r) {
  ::operator delete(r.mix, std::align_val_t{16});
  std::free(r.ring);
  delete[] r.records;
  r.mix = nullptr;
  r.ring = nullptr;
  r.records = nullptr;
  r.module = nullptr;
  r.fill_index = 0;
}
