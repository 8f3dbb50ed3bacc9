// Virtual wave devices: they play their queued headers as virtual time passes, one
// frame per 1/rate seconds of virtual time, and record what they played. Done
// hooks run on the main thread as soon as their buffer has played, so a hook
// that queues a buffer again keeps the sound seamless.
// Closed devices are kept until the next virtual_reset, so a stale pointer in a
// late hook finds a closed device instead of freed memory.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/common/wave_queue.h"
#include "platform/virtual.h"
#include "platform/wav_writer.h"
#include "platform/virtual/virtual_internal.h"
#include "platform/wave_out.h"

struct WaveDevice {
  WaveFormat format;
  uint32_t frame_bytes = 4;
  WaveDoneHook hook = nullptr;
  uintptr_t instance = 0;
  WaveQueue queue;
  bool paused = false;
  bool closed = false;
  uint64_t bytes_played = 0;
  int64_t frames_reached = 0;   // device frames of virtual time already played
  std::vector<int16_t> played;
};

namespace {

constexpr uint32_t recording_rate = 44100;

std::vector<std::unique_ptr<WaveDevice>> devices;   // open and closed
std::vector<int32_t> recording;                     // stereo frames from time 0
uint32_t failing_calls = 0;                         // virtual_fail_wave_calls
int failure_result = wave_ok;

bool fails(uint32_t call) { return (failing_calls & call) != 0; }

struct DoneNotice {
  WaveDevice* device;
  WaveHeader* header;
};

int64_t frames_at(int64_t ns, uint32_t rate) {
  return int64_t((__int128)ns * rate / 1000000000);
}

bool usable(WaveDevice* device) { return device && !device->closed; }

void record(WaveDevice* device, const int16_t* samples, int64_t first_frame, int64_t frames) {
  device->played.insert(device->played.end(), samples, samples + frames * device->format.channels);
  if (device->format.samples_per_second != recording_rate || first_frame < 0) return;
  size_t needed = size_t(first_frame + frames) * 2;
  if (recording.size() < needed) recording.resize(needed, 0);
  int32_t* out = recording.data() + first_frame * 2;
  for (int64_t i = 0; i < frames; ++i) {
    if (device->format.channels == 1) {
      out[2 * i] += samples[i];
      out[2 * i + 1] += samples[i];
    } else {
      out[2 * i] += samples[2 * i];
      out[2 * i + 1] += samples[2 * i + 1];
    }
  }
}

void play_device(WaveDevice* device, int64_t target_ns) {
  int64_t end = frames_at(target_ns, device->format.samples_per_second);
  int64_t frame = device->frames_reached;
  while (frame < end && !device->closed && !device->paused && device->queue.head) {
    WaveHeader* head = device->queue.head;
    int64_t left = (head->buffer_length - head->played_bytes) / device->frame_bytes;
    int64_t take = std::min(left, end - frame);
    const auto* bytes = static_cast<const uint8_t*>(head->data) + head->played_bytes;
    record(device, reinterpret_cast<const int16_t*>(bytes), frame, take);
    head->played_bytes += uint32_t(take * device->frame_bytes);
    device->bytes_played += uint64_t(take) * device->frame_bytes;
    frame += take;
    if (head->played_bytes >= head->buffer_length && !wave_header_repeat(head)) {
      wave_header_mark_done(wave_queue_pop(device->queue));
      // The hook (and any thread it wakes) may queue more before we play on.
      if (device->hook) device->hook(device, head, device->instance);
      virtual_run_runnable_threads();
    }
  }
  device->frames_reached = end;
}

void deliver(const std::vector<DoneNotice>& notices) {
  for (const DoneNotice& notice : notices)
    if (notice.device->hook) notice.device->hook(notice.device, notice.header, notice.device->instance);
}

}  // namespace

void virtual_devices_play_until(int64_t target_ns) {
  for (size_t i = 0; i < devices.size(); ++i)
    if (!devices[i]->closed) play_device(devices[i].get(), target_ns);
}

void virtual_devices_reset() {
  devices.clear();
  recording.clear();
  failing_calls = 0;
  failure_result = wave_ok;
}

void virtual_fail_wave_calls(uint32_t calls, int result) {
  failing_calls = calls;
  failure_result = result;
}

const std::vector<int32_t>& virtual_audio() { return recording; }

const std::vector<int16_t>& virtual_device_played(WaveDevice* device) {
  static const std::vector<int16_t> nothing;
  return device ? device->played : nothing;
}

bool virtual_write_audio_wav(const char* path) {
  // Cover the whole run, silence included.
  size_t frames = size_t(std::max<int64_t>(frames_at(virtual_now_ns(), recording_rate), int64_t(recording.size() / 2)));
  std::vector<int16_t> samples(frames * 2, 0);
  for (size_t i = 0; i < recording.size() && i < samples.size(); ++i)
    samples[i] = int16_t(std::clamp<int32_t>(recording[i], -32768, 32767));
  WavWriter wav;
  if (!wav_open(wav, path, recording_rate, 2)) return false;
  wav_write(wav, samples.data(), uint32_t(samples.size()));
  return wav_close(wav);
}

int wave_out_open(WaveDevice** out, const WaveFormat& format, WaveDoneHook hook, uintptr_t instance) {
  if (!out) return wave_invalid_param;
  *out = nullptr;
  if (fails(virtual_wave_open)) return failure_result;
  if (format.bits_per_sample != 16 || format.channels < 1 || format.channels > 2 || format.samples_per_second == 0)
    return wave_bad_format;
  auto device = std::make_unique<WaveDevice>();
  device->format = format;
  device->frame_bytes = format.channels * 2u;
  device->hook = hook;
  device->instance = instance;
  device->frames_reached = frames_at(virtual_now_ns(), format.samples_per_second);
  *out = device.get();
  devices.push_back(std::move(device));
  return wave_ok;
}

int wave_out_prepare_header(WaveDevice* device, WaveHeader* header) {
  if (!usable(device)) return wave_invalid_handle;
  if (fails(virtual_wave_prepare)) return failure_result;
  return wave_header_prepare(header);
}

int wave_out_unprepare_header(WaveDevice* device, WaveHeader* header) {
  if (!usable(device)) return wave_invalid_handle;
  if (fails(virtual_wave_unprepare)) return failure_result;
  return wave_header_unprepare(header);
}

int wave_out_write(WaveDevice* device, WaveHeader* header) {
  if (!usable(device)) return wave_invalid_handle;
  if (fails(virtual_wave_write)) return failure_result;
  int accepted = wave_header_accept(header, device->frame_bytes);
  if (accepted != wave_ok) return accepted;
  if (header->buffer_length == 0) {
    wave_header_mark_done(header);
    deliver({{device, header}});
    return wave_ok;
  }
  wave_queue_push(device->queue, header);
  return wave_ok;
}

int wave_out_pause(WaveDevice* device) {
  if (!usable(device)) return wave_invalid_handle;
  if (fails(virtual_wave_pause_restart)) return failure_result;
  device->paused = true;
  return wave_ok;
}

int wave_out_restart(WaveDevice* device) {
  if (!usable(device)) return wave_invalid_handle;
  if (fails(virtual_wave_pause_restart)) return failure_result;
  device->paused = false;
  return wave_ok;
}

int wave_out_reset(WaveDevice* device) {
  if (!usable(device)) return wave_invalid_handle;
  if (fails(virtual_wave_reset)) return failure_result;
  // Hooks may queue again; hand everything back until the queue stays empty.
  for (int round = 0; round < wave_reset_rounds && device->queue.head; ++round) {
    std::vector<DoneNotice> notices;
    while (device->queue.head) {
      WaveHeader* head = wave_queue_pop(device->queue);
      wave_header_mark_done(head);
      notices.push_back({device, head});
    }
    device->bytes_played = 0;
    deliver(notices);
  }
  device->bytes_played = 0;
  return device->queue.head ? wave_still_playing : wave_ok;
}

int wave_out_close(WaveDevice* device) {
  if (!usable(device)) return wave_invalid_handle;
  if (fails(virtual_wave_close)) return failure_result;
  if (device->queue.head) return wave_still_playing;
  device->closed = true;
  return wave_ok;
}

int wave_out_get_position(WaveDevice* device, uint32_t* bytes_played) {
  if (!usable(device)) return wave_invalid_handle;
  if (fails(virtual_wave_position)) return failure_result;
  if (!bytes_played) return wave_invalid_param;
  *bytes_played = uint32_t(device->bytes_played);
  return wave_ok;
}
