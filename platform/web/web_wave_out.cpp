// Wave output on Web Audio. Each device has a sink in the page's audio graph
// (an AudioWorklet, or a ScriptProcessor where no worklet can be had; see
// wave_sink.js) that plays the 16-bit frames it is sent and reports how many it
// has played. Without shared memory the sink cannot read the headers itself, so
// the device sends it the queued headers' bytes a little ahead of what it has
// played (`lead`), and walks the queue by the played count: a header is done
// when the sink has played its last byte, and the position is the bytes played.
//
// Sending, the walk and the done hooks run on the main fiber in the background
// pass (web_time.cpp), never inside another hook, so a hook may prepare and
// write buffers again. Reset and close deliver what is done at once.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/common/wave_queue.h"
#include "platform/wave_out.h"
#include "platform/web/web_internal.h"

extern "C" {
int mag_audio_open(int channels, int samples_per_second);   // sink id; 0: no audio; -1: rate refused
void mag_audio_push(int sink, const void* data, uint32_t bytes);
double mag_audio_played(int sink);   // frames played since open or the last flush
void mag_audio_pause(int sink, int paused);
void mag_audio_flush(int sink);
void mag_audio_close(int sink);
}

struct WaveDevice {
  int sink = 0;
  uint32_t frame_bytes = 4;
  uint32_t lead_bytes = 0;
  WaveDoneHook hook = nullptr;
  uintptr_t instance = 0;
  WaveQueue queue;
  // The sending side: the header whose bytes go out next (null: all of the
  // queue has been sent), how far into it, and its passes left.
  WaveHeader* send_header = nullptr;
  uint32_t send_offset = 0;
  uint32_t send_loops_left = 0;
  uint64_t bytes_sent = 0;     // since open or the last reset
  uint64_t bytes_played = 0;   // of those, played and walked through the queue
  std::vector<WaveHeader*> done;   // waiting for their hook
  int delivering = 0;              // hooks of this device on the stack
  bool closed = false;             // closed from inside its own hook: freed afterwards
};

namespace {

// Far enough ahead to ride out a page that is held up for a while (a loaded
// machine, a slow frame); a reset drops what was sent, so not much more.
constexpr uint32_t lead_ms = 500;
// Messages to the sink cost more than their bytes: send a quarter of the lead
// at a time, at most this much in one message.
constexpr uint32_t largest_send_bytes = 65536;
constexpr int most_devices = 8;

WaveDevice* devices[most_devices] = {};

uint32_t passes_of(const WaveHeader* header) {
  bool looping = (header->flags & wave_begin_loop) && (header->flags & wave_end_loop);
  return looping ? std::max<uint32_t>(header->loops, 1) : 1;
}

void finish(WaveDevice* device, WaveHeader* header) {
  wave_header_mark_done(header);
  device->done.push_back(header);
}

// What the sink has played, walked through the queue: played headers are done.
void walk_played(WaveDevice* device) {
  uint64_t played = uint64_t(mag_audio_played(device->sink)) * device->frame_bytes;
  played = std::min(played, device->bytes_sent);
  while (device->bytes_played < played && device->queue.head) {
    WaveHeader* head = device->queue.head;
    uint32_t take = uint32_t(std::min<uint64_t>(head->buffer_length - head->played_bytes, played - device->bytes_played));
    head->played_bytes += take;
    device->bytes_played += take;
    if (head->played_bytes >= head->buffer_length && !wave_header_repeat(head))
      finish(device, wave_queue_pop(device->queue));
  }
}

void send_ahead(WaveDevice* device) {
  if (device->bytes_sent + device->lead_bytes / 4 > device->bytes_played + device->lead_bytes) return;
  while (device->send_header && device->bytes_sent < device->bytes_played + device->lead_bytes) {
    WaveHeader* header = device->send_header;
    uint64_t room = device->bytes_played + device->lead_bytes - device->bytes_sent;
    uint32_t take = uint32_t(std::min<uint64_t>({header->buffer_length - device->send_offset, room, largest_send_bytes}));
    take -= take % device->frame_bytes;
    if (take == 0) break;
    mag_audio_push(device->sink, static_cast<const uint8_t*>(header->data) + device->send_offset, take);
    device->bytes_sent += take;
    device->send_offset += take;
    if (device->send_offset < header->buffer_length) continue;
    device->send_offset = 0;
    if (device->send_loops_left > 1) {
      if (device->send_loops_left != 0xFFFFFFFFu) device->send_loops_left -= 1;
      continue;
    }
    device->send_header = header->next_in_queue;
    if (device->send_header) device->send_loops_left = passes_of(device->send_header);
  }
}

void deliver_done(WaveDevice* device) {
  device->delivering += 1;
  while (!device->done.empty()) {
    WaveHeader* header = device->done.front();
    device->done.erase(device->done.begin());
    if (device->hook) device->hook(device, header, device->instance);
  }
  device->delivering -= 1;
}

void forget(WaveDevice* device) {
  for (WaveDevice*& slot : devices)
    if (slot == device) slot = nullptr;
  delete device;
}

}  // namespace

void web_wave_devices_pump() {
  for (WaveDevice* device : devices) {
    if (!device || device->delivering) continue;
    walk_played(device);
    deliver_done(device);
    if (device->closed) {
      forget(device);
      continue;
    }
    send_ahead(device);
  }
}

int wave_out_open(WaveDevice** out, const WaveFormat& format, WaveDoneHook hook, uintptr_t instance) {
  if (!out) return wave_invalid_param;
  *out = nullptr;
  if (format.bits_per_sample != 16 || format.channels < 1 || format.channels > 2 || format.samples_per_second == 0)
    return wave_bad_format;
  WaveDevice** slot = std::find(std::begin(devices), std::end(devices), nullptr);
  if (slot == std::end(devices)) return wave_no_memory;
  int sink = mag_audio_open(format.channels, int(format.samples_per_second));
  if (sink == 0) return wave_no_driver;
  if (sink < 0) return wave_bad_format;
  auto* device = new WaveDevice;
  device->sink = sink;
  device->frame_bytes = format.channels * 2u;
  device->lead_bytes = format.samples_per_second * lead_ms / 1000 * device->frame_bytes;
  device->hook = hook;
  device->instance = instance;
  device->done.reserve(16);
  *slot = device;
  *out = device;
  return wave_ok;
}

int wave_out_prepare_header(WaveDevice* device, WaveHeader* header) {
  if (!device) return wave_invalid_handle;
  return wave_header_prepare(header);
}

int wave_out_unprepare_header(WaveDevice* device, WaveHeader* header) {
  if (!device) return wave_invalid_handle;
  return wave_header_unprepare(header);
}

int wave_out_write(WaveDevice* device, WaveHeader* header) {
  if (!device) return wave_invalid_handle;
  int accepted = wave_header_accept(header, device->frame_bytes);
  if (accepted != wave_ok) return accepted;
  if (header->buffer_length == 0) {
    finish(device, header);
    return wave_ok;
  }
  wave_queue_push(device->queue, header);
  if (!device->send_header) {
    device->send_header = header;
    device->send_offset = 0;
    device->send_loops_left = passes_of(header);
  }
  return wave_ok;
}

int wave_out_pause(WaveDevice* device) {
  if (!device) return wave_invalid_handle;
  mag_audio_pause(device->sink, 1);
  return wave_ok;
}

int wave_out_restart(WaveDevice* device) {
  if (!device) return wave_invalid_handle;
  mag_audio_pause(device->sink, 0);
  return wave_ok;
}

int wave_out_reset(WaveDevice* device) {
  if (!device) return wave_invalid_handle;
  // A hook may write again while we deliver; flush until the queue stays empty.
  do {
    mag_audio_flush(device->sink);
    while (device->queue.head) finish(device, wave_queue_pop(device->queue));
    device->send_header = nullptr;
    device->send_offset = 0;
    device->bytes_sent = 0;
    device->bytes_played = 0;
    if (device->delivering) break;   // called from one of its hooks: the pump delivers the rest
    deliver_done(device);
  } while (device->queue.head);
  return wave_ok;
}

int wave_out_close(WaveDevice* device) {
  if (!device) return wave_invalid_handle;
  if (!device->delivering) {
    walk_played(device);
    deliver_done(device);
  }
  if (device->queue.head) return wave_still_playing;
  mag_audio_close(device->sink);
  if (device->delivering) {
    device->closed = true;
    device->hook = nullptr;
    return wave_ok;
  }
  forget(device);
  return wave_ok;
}

int wave_out_get_position(WaveDevice* device, uint32_t* bytes_played) {
  if (!device) return wave_invalid_handle;
  if (!bytes_played) return wave_invalid_param;
  walk_played(device);
  *bytes_played = uint32_t(device->bytes_played);
  return wave_ok;
}
