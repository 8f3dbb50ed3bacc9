// Wave output on SDL audio. Each device is an SDL audio device of its own whose
// callback plays the queued headers; SDL converts our 44,100 Hz 16-bit stream to
// whatever the hardware wants. Headers that have played go to a done list that a
// notification thread of the device hands to the done hook, outside every lock,
// so that the hook may queue buffers again.
#include <SDL.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/common/wave_queue.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/wave_out.h"

struct WaveDevice {
  SDL_AudioDeviceID sdl_device = 0;
  WaveFormat format;
  uint32_t frame_bytes = 4;
  WaveDoneHook hook = nullptr;
  uintptr_t instance = 0;

  // Guarded by the SDL device lock (the callback runs under it).
  WaveQueue queue;
  bool paused = false;
  uint64_t bytes_played = 0;

  // The done list and the notifier's handshake.
  std::mutex done_mutex;
  std::condition_variable done_changed;
  std::vector<WaveHeader*> done;
  bool hook_running = false;
  bool closing = false;
  std::thread notifier;
};

namespace {

// Every open device, for the quit path.
std::mutex open_devices_mutex;
std::vector<WaveDevice*> open_devices;

void finish_header(WaveDevice* device, WaveHeader* header) {
  wave_header_mark_done(header);
  {
    std::lock_guard<std::mutex> lock(device->done_mutex);
    device->done.push_back(header);
  }
  device->done_changed.notify_all();
}

void SDLCALL fill_stream(void* userdata, Uint8* stream, int length) {
  auto* device = static_cast<WaveDevice*>(userdata);
  int written = 0;
  while (!device->paused && written < length && device->queue.head) {
    WaveHeader* head = device->queue.head;
    uint32_t left = head->buffer_length - head->played_bytes;
    uint32_t take = std::min<uint32_t>(left, uint32_t(length - written));
    std::memcpy(stream + written, static_cast<const uint8_t*>(head->data) + head->played_bytes, take);
    written += int(take);
    head->played_bytes += take;
    device->bytes_played += take;
    if (head->played_bytes >= head->buffer_length && !wave_header_repeat(head))
      finish_header(device, wave_queue_pop(device->queue));
  }
  if (written < length) std::memset(stream + written, 0, size_t(length - written));
}

void deliver_done_hooks(WaveDevice* device) {
  std::unique_lock<std::mutex> lock(device->done_mutex);
  for (;;) {
    device->done_changed.wait(lock, [device] { return device->closing || !device->done.empty(); });
    if (device->done.empty() && device->closing) return;
    WaveHeader* header = device->done.front();
    device->done.erase(device->done.begin());
    device->hook_running = true;
    lock.unlock();
    if (device->hook) device->hook(device, header, device->instance);
    lock.lock();
    device->hook_running = false;
    device->done_changed.notify_all();
  }
}

bool audio_ready() {
  if (SDL_WasInit(SDL_INIT_AUDIO)) return true;
  sdl_refuse_own_signal_handlers();
  return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

bool queue_empty(WaveDevice* device) {
  SDL_LockAudioDevice(device->sdl_device);
  bool empty = device->queue.head == nullptr;
  SDL_UnlockAudioDevice(device->sdl_device);
  return empty;
}

}  // namespace

int wave_out_open(WaveDevice** out, const WaveFormat& format, WaveDoneHook hook, uintptr_t instance) {
  if (!out) return wave_invalid_param;
  *out = nullptr;
  if (format.bits_per_sample != 16 || format.channels < 1 || format.channels > 2 || format.samples_per_second == 0)
    return wave_bad_format;
  if (!audio_ready()) return wave_no_driver;
  auto* device = new WaveDevice;
  device->format = format;
  device->frame_bytes = format.channels * 2u;
  device->hook = hook;
  device->instance = instance;
  SDL_AudioSpec want{};
  want.freq = int(format.samples_per_second);
  want.format = AUDIO_S16LSB;
  want.channels = Uint8(format.channels);
  want.samples = 1024;
  want.callback = fill_stream;
  want.userdata = device;
  SDL_AudioSpec have{};
  device->sdl_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device->sdl_device == 0) {
    delete device;
    return wave_bad_device;
  }
  device->notifier = std::thread(deliver_done_hooks, device);
  {
    std::lock_guard<std::mutex> lock(open_devices_mutex);
    open_devices.push_back(device);
  }
  SDL_PauseAudioDevice(device->sdl_device, 0);
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
    finish_header(device, header);
    return wave_ok;
  }
  SDL_LockAudioDevice(device->sdl_device);
  wave_queue_push(device->queue, header);
  SDL_UnlockAudioDevice(device->sdl_device);
  return wave_ok;
}

int wave_out_pause(WaveDevice* device) {
  if (!device) return wave_invalid_handle;
  SDL_LockAudioDevice(device->sdl_device);
  device->paused = true;
  SDL_UnlockAudioDevice(device->sdl_device);
  return wave_ok;
}

int wave_out_restart(WaveDevice* device) {
  if (!device) return wave_invalid_handle;
  SDL_LockAudioDevice(device->sdl_device);
  device->paused = false;
  SDL_UnlockAudioDevice(device->sdl_device);
  return wave_ok;
}

int wave_out_reset(WaveDevice* device) {
  if (!device) return wave_invalid_handle;
  bool on_notifier = std::this_thread::get_id() == device->notifier.get_id();
  // A hook that runs meanwhile (one handed back here, or one already under way
  // for a header that had played) may queue again: hand back until the queue
  // stays empty once every hook has finished.
  for (int round = 0; round < wave_reset_rounds; ++round) {
    SDL_LockAudioDevice(device->sdl_device);
    while (device->queue.head) finish_header(device, wave_queue_pop(device->queue));
    device->bytes_played = 0;
    SDL_UnlockAudioDevice(device->sdl_device);
    if (on_notifier) return wave_ok;   // our own hooks run after this one returns
    {
      std::unique_lock<std::mutex> lock(device->done_mutex);
      device->done_changed.wait(lock, [device] { return device->done.empty() && !device->hook_running; });
    }
    if (queue_empty(device)) return wave_ok;
  }
  return wave_still_playing;
}

int wave_out_close(WaveDevice* device) {
  if (!device) return wave_invalid_handle;
  if (!queue_empty(device)) return wave_still_playing;
  {
    std::lock_guard<std::mutex> lock(open_devices_mutex);
    std::erase(open_devices, device);
  }
  SDL_CloseAudioDevice(device->sdl_device);
  {
    std::lock_guard<std::mutex> lock(device->done_mutex);
    device->closing = true;
  }
  device->done_changed.notify_all();
  if (std::this_thread::get_id() == device->notifier.get_id()) {
    // Closed from inside a hook: the notifier is this very thread and ends by
    // itself; the record stays behind for it.
    device->notifier.detach();
    return wave_ok;
  }
  device->notifier.join();
  delete device;
  return wave_ok;
}

int wave_out_get_position(WaveDevice* device, uint32_t* bytes_played) {
  if (!device) return wave_invalid_handle;
  if (!bytes_played) return wave_invalid_param;
  SDL_LockAudioDevice(device->sdl_device);
  *bytes_played = uint32_t(device->bytes_played);
  SDL_UnlockAudioDevice(device->sdl_device);
  return wave_ok;
}

void sdl_wave_out_silence_all() {
  std::lock_guard<std::mutex> lock(open_devices_mutex);
  for (WaveDevice* device : open_devices) SDL_PauseAudioDevice(device->sdl_device, 1);
}
