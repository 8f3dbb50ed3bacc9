// The output thread and player control. The device loops over one 2 s ring
// for ever; the output thread polls the play cursor every 5 ms and re-renders,
// block by block, what the cursor has just played. Three atomic flags hand the
// renderer over between the threads without a lock.
#include <atomic>
#include <thread>

#include "platform/clock.h"
#include "platform/thread.h"
#include "platform/wave_out.h"
#include "xm/xm_file.h"
#include "xm/xm_mixer.h"
#include "xm/xm_player.h"

namespace {

struct XmOutput {
  XmRenderer renderer;
  WaveDevice* device = nullptr;
  WaveHeader header;
  PlatformThread* thread = nullptr;
  std::atomic<bool> stop_request{false};
  std::atomic<bool> rendering{false};
  std::atomic<bool> finished{true};
  std::atomic<int32_t> audible_index{0};
  uint32_t last_position_bytes = 0;  // output thread only
  uint64_t played_bytes = 0;         // output thread only
};

XmOutput output;

constexpr uint32_t ring_bytes = uint32_t(xm_ring_frames) * 4;

// The device counts bytes in 32 bits, which wrap after 6.7 hours of music; the
// thread keeps its own count from the differences so the cursor never jumps.
int32_t playing_block(XmOutput& out) {
  uint32_t bytes = 0;
  wave_out_get_position(out.device, &bytes);
  out.played_bytes += uint32_t(bytes - out.last_position_bytes);
  out.last_position_bytes = bytes;
  uint64_t frames = out.played_bytes / 4;
  return int32_t((frames % uint64_t(xm_ring_frames)) / uint64_t(xm_block_frames));
}

void output_thread(void* argument) {
  XmOutput& out = *static_cast<XmOutput*>(argument);
  while (!out.stop_request.load(std::memory_order_acquire)) {
    int32_t playing = playing_block(out);
    while (out.renderer.fill_index != playing) {
      out.rendering.store(true, std::memory_order_release);
      xm_fill_block(out.renderer);
      int32_t audible = out.audible_index.load(std::memory_order_relaxed) + 1;
      out.audible_index.store(audible == xm_ring_blocks ? 0 : audible, std::memory_order_release);
      out.rendering.store(false, std::memory_order_release);
    }
    sleep_ms(5);
  }
  out.finished.store(true, std::memory_order_release);
}

void wait_while_rendering(XmOutput& out) {
  while (out.rendering.load(std::memory_order_acquire)) std::this_thread::yield();
}

BlockRecord audible_record() {
  if (!output.renderer.records) return BlockRecord{};
  int32_t index = output.audible_index.load(std::memory_order_acquire);
  return output.renderer.records[index].load(std::memory_order_relaxed);
}

}  // namespace

bool xm_play(XmModule* module) {
  if (!module) return false;
  xm_stop(module);
  if (!xm_file_callbacks_registered()) return false;
  XmOutput& out = output;
  if (!xm_renderer_start(out.renderer, *module)) return false;
  out.audible_index.store(0, std::memory_order_relaxed);

  WaveFormat format{.channels = 2, .samples_per_second = uint32_t(xm_output_rate), .bits_per_sample = 16};
  if (wave_out_open(&out.device, format, nullptr, 0) != wave_ok) {
    out.device = nullptr;
    xm_renderer_release(out.renderer);
    return false;
  }
  out.header = WaveHeader{};
  out.header.data = out.renderer.ring;
  out.header.buffer_length = ring_bytes;
  out.header.flags = wave_begin_loop | wave_end_loop;
  out.header.loops = 0xFFFFFFFFu;
  wave_out_prepare_header(out.device, &out.header);

  do xm_fill_block(out.renderer);
  while (out.renderer.fill_index != 0);

  out.last_position_bytes = 0;
  out.played_bytes = 0;
  wave_out_write(out.device, &out.header);

  out.stop_request.store(false, std::memory_order_relaxed);
  // Cleared here rather than by the thread, so a stop that comes before the
  // thread has run cannot mistake it for finished.
  out.finished.store(false, std::memory_order_relaxed);
  out.thread = thread_start(output_thread, &out, ThreadPriority::time_critical);
  if (!out.thread) {
    out.finished.store(true, std::memory_order_relaxed);
    xm_stop(module);
    return false;
  }
  return true;
}

bool xm_stop(XmModule* module) {
  if (!module) return false;
  XmOutput& out = output;
  out.stop_request.store(true, std::memory_order_release);
  wait_while_rendering(out);
  if (out.thread) {
    while (!out.finished.load(std::memory_order_acquire)) sleep_ms(10);
    thread_join(out.thread);
    out.thread = nullptr;
  }
  if (out.device) wave_out_reset(out.device);
  if (out.renderer.ring && out.device) {
    wave_out_unprepare_header(out.device, &out.header);
    out.header.flags &= ~wave_prepared;
  }
  xm_renderer_release(out.renderer);
  if (out.device) wave_out_close(out.device);
  out.device = nullptr;
  out.audible_index.store(0, std::memory_order_relaxed);
  return true;
}

bool xm_free(XmModule* module) {
  if (!module) return false;
  wait_while_rendering(output);
  xm_stop(module);
  xm_release(module);
  return true;
}

bool xm_is_playing() { return output.thread != nullptr; }

uint8_t xm_audible_order(const XmModule* module) { return module ? audible_record().order : 0; }
uint8_t xm_audible_row(const XmModule* module) { return module ? audible_record().row : 0; }
uint32_t xm_audible_time(const XmModule* module) { return module ? audible_record().elapsed_ms : 0; }
