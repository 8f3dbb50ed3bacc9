// The output thread and player control. The device loops over one 2 s ring
// for ever; the output thread polls the play cursor every 5 ms and re-renders,
// block by block, what the cursor has just played.
//
// Hand-over between the threads: while the output thread runs it is the only
// one that renders or touches the renderer, the module's replay state and the
// ring, and it ends only when asked (stop_request). xm_stop asks and then joins
// it: once thread_join returns no render runs and none can start, and all the
// thread's writes are visible; only then is anything reset or freed. xm_play
// renders the first ring before the thread exists, and starting the thread
// hands everything over. The main thread meanwhile reads only `heard` (one
// atomic record) and the module's pattern cells, which no one writes.
//
// A device that fails is never reported: the music stays silent and the
// program goes on. One that will not stop keeps its ring, silenced, rather than
// reading freed memory, and the music stays off until it lets go.
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/clock.h"
#include "platform/thread.h"
#include "platform/wave_out.h"
#include "xm/xm_player.h"

namespace {

constexpr uint32_t ring_bytes = uint32_t(xm_ring_frames) * 4;

// The device counts bytes in 32 bits, which wrap after 6.7 hours of music; the
// thread keeps its own count from the differences so the cursor never jumps.
// -1 when the device cannot tell.
int32_t playing_block(XmPlayer& p) {
  uint32_t bytes = 0;
  if (wave_out_get_position(p.device, &bytes) != wave_ok) return -1;
  p.played_bytes += uint32_t(bytes - p.last_position_bytes);
  p.last_position_bytes = bytes;
  uint64_t frames = p.played_bytes / 4;
  return int32_t((frames % uint64_t(xm_ring_frames)) / uint64_t(xm_block_frames));
}

void output_thread(void* argument) {
  XmPlayer& p = *static_cast<XmPlayer*>(argument);
  while (!p.stop_request.load(std::memory_order_acquire)) {
    int32_t playing = playing_block(p);
    if (playing < 0) {
      // Without the cursor nothing can be refilled in time: silence rather than
      // the last two seconds over and over, until the device answers again.
      if (!p.ring_silenced) std::memset(p.renderer.ring, 0, ring_bytes);
      p.ring_silenced = true;
    } else {
      // The block under the cursor is never rendered below: its record, written
      // one ring ago, is what is heard now, published before anything changes.
      p.heard.store(p.renderer.records[playing], std::memory_order_release);
      while (p.renderer.fill_index != playing) xm_fill_block(p.renderer);
      p.ring_silenced = false;
    }
    sleep_ms(5);
  }
}

// True when the device no longer reads its header: stopped or closed.
bool let_go(WaveDevice* device, WaveHeader* header) {
  bool stopped = wave_out_reset(device) == wave_ok;
  if (stopped && header) wave_out_unprepare_header(device, header);
  bool closed = wave_out_close(device) == wave_ok;
  return stopped || closed;
}

// Stops the device and frees its header; one that will not let go keeps its
// ring, silenced, and its header (xm_play opens no other until it does).
void release_device(XmPlayer& p) {
  if (p.device && !let_go(p.device, p.header)) {
    if (p.renderer.ring) std::memset(p.renderer.ring, 0, ring_bytes);
    p.stuck_device = p.device;
    p.stuck_header = p.header;
    p.stuck_ring = p.renderer.ring;
    p.renderer.ring = nullptr;
    p.header = nullptr;
  }
  delete p.header;
  p.header = nullptr;
  p.device = nullptr;
}

void retry_stuck_device(XmPlayer& p) {
  if (!p.stuck_device || !let_go(p.stuck_device, p.stuck_header)) return;
  delete p.stuck_header;
  std::free(p.stuck_ring);
  p.stuck_device = nullptr;
  p.stuck_header = nullptr;
  p.stuck_ring = nullptr;
}

}  // namespace

bool xm_play(XmPlayer& p, XmModule* module) {
  if (!module) return false;
  xm_stop(p, module);
  if (p.stuck_device) return false;
  if (!xm_renderer_start(p.renderer, *module)) return false;

  WaveFormat format{.channels = 2, .samples_per_second = uint32_t(xm_output_rate), .bits_per_sample = 16};
  if (wave_out_open(&p.device, format, nullptr, 0) != wave_ok) p.device = nullptr;
  p.header = p.device ? new (std::nothrow) WaveHeader{} : nullptr;
  if (p.header) {
    p.header->data = p.renderer.ring;
    p.header->buffer_length = ring_bytes;
    p.header->flags = wave_begin_loop | wave_end_loop;
    p.header->loops = 0xFFFFFFFFu;
  }
  if (!p.header || wave_out_prepare_header(p.device, p.header) != wave_ok) {
    xm_stop(p, module);
    return false;
  }

  do xm_fill_block(p.renderer);
  while (p.renderer.fill_index != 0);
  p.heard.store(p.renderer.records[0], std::memory_order_relaxed);

  p.last_position_bytes = 0;
  p.played_bytes = 0;
  p.ring_silenced = false;
  if (wave_out_write(p.device, p.header) != wave_ok) {
    xm_stop(p, module);
    return false;
  }
  p.stop_request.store(false, std::memory_order_relaxed);
  p.thread = thread_start(output_thread, &p, ThreadPriority::time_critical);
  if (!p.thread) {
    xm_stop(p, module);
    return false;
  }
  return true;
}

bool xm_stop(XmPlayer& p, XmModule* module) {
  if (!module) return false;
  if (p.thread) {
    p.stop_request.store(true, std::memory_order_release);
    thread_join(p.thread);
    p.thread = nullptr;
  }
  release_device(p);
  retry_stuck_device(p);
  xm_renderer_release(p.renderer);
  p.heard.store(BlockRecord{}, std::memory_order_relaxed);
  return true;
}

bool xm_free(XmPlayer& p, XmModule* module) {
  if (!module) return false;
  xm_stop(p, module);
  xm_release(module);
  return true;
}

bool xm_is_playing(const XmPlayer& p) { return p.thread != nullptr; }

BlockRecord xm_audible_record(const XmPlayer& p) { return p.heard.load(std::memory_order_acquire); }

uint8_t xm_audible_order(const XmPlayer& p, const XmModule* module) {
  return module ? xm_audible_record(p).order : 0;
}
uint8_t xm_audible_row(const XmPlayer& p, const XmModule* module) { return module ? xm_audible_record(p).row : 0; }
uint32_t xm_audible_time(const XmPlayer& p, const XmModule* module) {
  return module ? xm_audible_record(p).elapsed_ms : 0;
}
