// The refill runs in the device's done hook, which the platform layer allows to
// prepare and write buffers. The gate word makes stop and refill exclusive
// without a lock: a refill registers itself and then checks the gate in one
// atomic step, and stop clears the gate and waits for registered refills.
// Nothing here ever blocks in a hook: a failing buffer call is only recorded,
// for the main thread to report, and playback carries on.
#include "sid/sid_stream.h"

#include <thread>

namespace {

constexpr uint32_t gate_open = 1;
constexpr uint32_t refill_step = 2;

// Keeps the first failure; later ones add nothing the reader needs to know.
void record(SidStream& s, int result) {
  if (result == wave_ok) return;
  int none = wave_ok;
  s.failure.compare_exchange_strong(none, result, std::memory_order_release, std::memory_order_relaxed);
}

void prepare(SidStream& s, int which) {
  WaveHeader& h = s.header[which];
  h.data = s.buffer[which];
  h.buffer_length = sid_buffer_bytes;
  h.bytes_recorded = 0;
  h.flags = 0;
  h.loops = 0;
  record(s, wave_out_prepare_header(s.device, &h));
}

void unprepare(SidStream& s, int which) {
  if (s.header[which].flags & wave_prepared) record(s, wave_out_unprepare_header(s.device, &s.header[which]));
}

void refill(WaveDevice* device, WaveHeader* header, uintptr_t instance) {
  SidStream& s = *reinterpret_cast<SidStream*>(instance);
  const uint32_t before = s.gate.fetch_add(refill_step, std::memory_order_acq_rel);
  if (before & gate_open) {
    const int which = header->user == 1 ? 1 : 0;
    unprepare(s, which);
    sid_render_buffer(*s.player, s.buffer[which]);
    prepare(s, which);
    record(s, wave_out_write(device, &s.header[which]));
  }
  s.gate.fetch_sub(refill_step, std::memory_order_release);
}

}  // namespace

bool sid_stream_start(SidStream& s, SidPlayerState& player) {
  sid_stream_stop(s);
  s.player = &player;
  const WaveFormat format{.channels = 1, .samples_per_second = sid_sample_rate, .bits_per_sample = 16};
  WaveDevice* device = nullptr;
  if (wave_out_open(&device, format, refill, reinterpret_cast<uintptr_t>(&s)) != wave_ok || !device) return false;
  s.device = device;
  wave_out_pause(device);
  for (int which = 0; which < 2; ++which) {
    s.header[which] = WaveHeader{};
    s.header[which].user = uintptr_t(which);
    sid_render_buffer(player, s.buffer[which]);
  }
  prepare(s, 0);
  prepare(s, 1);
  s.gate.store(gate_open, std::memory_order_release);
  record(s, wave_out_write(device, &s.header[0]));
  record(s, wave_out_write(device, &s.header[1]));
  return true;
}

void sid_stream_resume(SidStream& s) {
  if (s.device) wave_out_restart(s.device);
}

void sid_stream_stop(SidStream& s) {
  if (!s.device) return;
  s.gate.fetch_and(~gate_open, std::memory_order_acq_rel);
  // A refill that got in before the gate closed finishes first (well under 1 ms).
  while (s.gate.load(std::memory_order_acquire) >= refill_step) std::this_thread::yield();
  wave_out_reset(s.device);
  unprepare(s, 0);
  unprepare(s, 1);
  wave_out_close(s.device);
  s.device = nullptr;
}

bool sid_stream_take_failure(SidStream& s, char* text, size_t size) {
  const int failure = s.failure.load(std::memory_order_acquire);
  if (failure == wave_ok || s.failure_taken) return false;
  s.failure_taken = true;
  wave_out_error_text(failure, text, size);
  return true;
}
