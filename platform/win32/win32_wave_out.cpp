// Wave output on winmm's waveOut. Each of our headers is mirrored by a WAVEHDR
// that the device owns while it is prepared. The device signals an event when a
// buffer is done (CALLBACK_EVENT) and a notification thread of ours hands done
// headers to the hook, in the order they were written. That thread is ours, not
// the audio system's, so the hook may prepare and write buffers again: waveOut
// forbids its own calls inside a CALLBACK_FUNCTION callback.
#include <windows.h>
#include <mmsystem.h>

#include "platform/common/wave_queue.h"
#include "platform/wave_out.h"
#include "platform/win32/win32_backend.h"

namespace {

// More than any player keeps prepared at once (two for a SID tune, one ring for
// a module); slots are reused, so nothing is allocated while music plays.
constexpr int header_slots = 8;

struct SystemHeader {
  WaveHeader* ours = nullptr;
  WAVEHDR system{};
};

constexpr uint32_t loop_flags = wave_begin_loop | wave_end_loop;

}  // namespace

struct WaveDevice {
  HWAVEOUT handle = nullptr;
  HANDLE done_signal = nullptr;
  HANDLE notifier = nullptr;
  DWORD notifier_id = 0;
  uint32_t frame_bytes = 4;
  uint32_t bytes_per_second = 176400;
  WaveDoneHook hook = nullptr;
  uintptr_t instance = 0;

  // Guarded by `lock`; `changed` wakes a reset waiting for the hooks.
  CRITICAL_SECTION lock;
  CONDITION_VARIABLE changed;
  SystemHeader slots[header_slots];
  WaveQueue queue;   // written and not yet handed to the hook, oldest first
  bool hook_running = false;
  bool closing = false;
};

namespace {

struct Locked {
  explicit Locked(WaveDevice* device) : device(device) { EnterCriticalSection(&device->lock); }
  ~Locked() { LeaveCriticalSection(&device->lock); }
  WaveDevice* device;
};

SystemHeader* slot_of(WaveDevice* device, const WaveHeader* header) {
  for (SystemHeader& slot : device->slots)
    if (slot.ours == header) return &slot;
  return nullptr;
}

bool system_done(WaveDevice* device, const WaveHeader* header) {
  const SystemHeader* slot = slot_of(device, header);
  return slot && (slot->system.dwFlags & WHDR_DONE);
}

bool on_notifier(const WaveDevice* device) { return GetCurrentThreadId() == device->notifier_id; }

// The open devices, for a quit request to silence; the players never open more
// than two at once.
SRWLOCK open_devices_lock = SRWLOCK_INIT;
WaveDevice* open_devices[header_slots] = {};

void remember_open(WaveDevice* device, bool open) {
  AcquireSRWLockExclusive(&open_devices_lock);
  for (WaveDevice*& slot : open_devices) {
    if (open && !slot) {
      slot = device;
      break;
    }
    if (!open && slot == device) slot = nullptr;
  }
  ReleaseSRWLockExclusive(&open_devices_lock);
}

void free_device(WaveDevice* device) {
  CloseHandle(device->done_signal);
  if (device->notifier) CloseHandle(device->notifier);
  DeleteCriticalSection(&device->lock);
  delete device;
}

// Hands every header the device has finished to the hook, one at a time and
// outside the lock. Ends when the device closes; a close from inside a hook
// leaves the record for this thread to free.
DWORD WINAPI notify_done(void* parameter) {
  auto* device = static_cast<WaveDevice*>(parameter);
  for (;;) {
    WaitForSingleObject(device->done_signal, INFINITE);
    EnterCriticalSection(&device->lock);
    while (device->queue.head && system_done(device, device->queue.head)) {
      WaveHeader* header = wave_queue_pop(device->queue);
      wave_header_mark_done(header);
      device->hook_running = true;
      LeaveCriticalSection(&device->lock);
      if (device->hook) device->hook(device, header, device->instance);
      EnterCriticalSection(&device->lock);
      device->hook_running = false;
      WakeAllConditionVariable(&device->changed);
    }
    bool closing = device->closing;
    bool freed_by_us = closing && device->notifier == nullptr;
    LeaveCriticalSection(&device->lock);
    if (freed_by_us) {
      free_device(device);
      return 0;
    }
    if (closing) return 0;
  }
}

}  // namespace

int wave_out_open(WaveDevice** out, const WaveFormat& format, WaveDoneHook hook, uintptr_t instance) {
  if (!out) return wave_invalid_param;
  *out = nullptr;
  if (format.bits_per_sample != 16 || format.channels < 1 || format.channels > 2 || format.samples_per_second == 0)
    return wave_bad_format;
  auto* device = new WaveDevice;
  device->frame_bytes = format.channels * 2u;
  device->bytes_per_second = format.samples_per_second * device->frame_bytes;
  device->hook = hook;
  device->instance = instance;
  InitializeCriticalSection(&device->lock);
  InitializeConditionVariable(&device->changed);
  device->done_signal = CreateEventA(nullptr, FALSE, FALSE, nullptr);

  WAVEFORMATEX wave_format{};
  wave_format.wFormatTag = WAVE_FORMAT_PCM;
  wave_format.nChannels = WORD(format.channels);
  wave_format.nSamplesPerSec = format.samples_per_second;
  wave_format.nAvgBytesPerSec = device->bytes_per_second;
  wave_format.nBlockAlign = WORD(device->frame_bytes);
  wave_format.wBitsPerSample = 16;
  wave_format.cbSize = 0;
  MMRESULT result = device->done_signal
                        ? waveOutOpen(&device->handle, WAVE_MAPPER, &wave_format, DWORD_PTR(device->done_signal), 0,
                                      CALLBACK_EVENT)
                        : MMRESULT(MMSYSERR_NOMEM);
  if (result != MMSYSERR_NOERROR) {
    if (device->done_signal) CloseHandle(device->done_signal);
    DeleteCriticalSection(&device->lock);
    delete device;
    return int(result);
  }
  device->notifier = CreateThread(nullptr, 0, notify_done, device, 0, &device->notifier_id);
  if (!device->notifier) {
    waveOutClose(device->handle);
    free_device(device);
    return wave_no_memory;
  }
  // The hooks refill what is about to be heard: they must not wait behind the
  // program's drawing.
  SetThreadPriority(device->notifier, THREAD_PRIORITY_TIME_CRITICAL);
  remember_open(device, true);
  *out = device;
  return wave_ok;
}

int wave_out_prepare_header(WaveDevice* device, WaveHeader* header) {
  if (!device) return wave_invalid_handle;
  if (!header || !header->data) return wave_invalid_param;
  Locked locked(device);
  SystemHeader* slot = slot_of(device, header);
  if (slot && (header->flags & wave_in_queue)) return wave_still_playing;
  if (slot) waveOutUnprepareHeader(device->handle, &slot->system, sizeof(WAVEHDR));   // prepared again
  if (!slot) slot = slot_of(device, nullptr);
  if (!slot) return wave_no_memory;
  slot->system = WAVEHDR{};
  slot->system.lpData = static_cast<LPSTR>(header->data);
  slot->system.dwBufferLength = header->buffer_length;
  slot->system.dwUser = header->user;
  MMRESULT result = waveOutPrepareHeader(device->handle, &slot->system, sizeof(WAVEHDR));
  if (result != MMSYSERR_NOERROR) {
    slot->ours = nullptr;
    return int(result);
  }
  slot->ours = header;
  header->flags |= wave_prepared;
  return wave_ok;
}

int wave_out_unprepare_header(WaveDevice* device, WaveHeader* header) {
  if (!device) return wave_invalid_handle;
  if (!header) return wave_invalid_param;
  Locked locked(device);
  int checked = wave_header_unprepare(header);
  if (checked != wave_ok) return checked;
  SystemHeader* slot = slot_of(device, header);
  if (!slot) return wave_ok;   // never prepared here: nothing to give back
  MMRESULT result = waveOutUnprepareHeader(device->handle, &slot->system, sizeof(WAVEHDR));
  if (result != MMSYSERR_NOERROR) {
    header->flags |= wave_prepared;
    return int(result);
  }
  slot->ours = nullptr;
  return wave_ok;
}

int wave_out_write(WaveDevice* device, WaveHeader* header) {
  if (!device) return wave_invalid_handle;
  if (!header) return wave_invalid_param;
  Locked locked(device);
  SystemHeader* slot = slot_of(device, header);
  if (!slot) return wave_unprepared;
  int accepted = wave_header_accept(header, device->frame_bytes);
  if (accepted != wave_ok) return accepted;
  // The loop settings may change between prepare and write, as with waveOut.
  slot->system.dwFlags = (slot->system.dwFlags & ~DWORD(WHDR_BEGINLOOP | WHDR_ENDLOOP | WHDR_DONE)) |
                         ((header->flags & wave_begin_loop) ? WHDR_BEGINLOOP : 0) |
                         ((header->flags & wave_end_loop) ? WHDR_ENDLOOP : 0);
  slot->system.dwLoops = (header->flags & loop_flags) == loop_flags ? header->loops : 0;
  wave_queue_push(device->queue, header);
  MMRESULT result = waveOutWrite(device->handle, &slot->system, sizeof(WAVEHDR));
  if (result != MMSYSERR_NOERROR) {
    // Taken back off the tail it was just put on.
    WaveQueue kept;
    while (device->queue.head) {
      WaveHeader* queued = wave_queue_pop(device->queue);
      if (queued != header) wave_queue_push(kept, queued);
    }
    device->queue = kept;
    header->flags &= ~wave_in_queue;
    return int(result);
  }
  return wave_ok;
}

int wave_out_pause(WaveDevice* device) {
  if (!device) return wave_invalid_handle;
  return int(waveOutPause(device->handle));
}

int wave_out_restart(WaveDevice* device) {
  if (!device) return wave_invalid_handle;
  return int(waveOutRestart(device->handle));
}

int wave_out_reset(WaveDevice* device) {
  if (!device) return wave_invalid_handle;
  // From inside a hook the notifier is this thread: the returned headers reach
  // their hooks once this hook is over.
  if (on_notifier(device)) return int(waveOutReset(device->handle));
  // A hook may write again while we wait; reset until the queue stays empty.
  for (;;) {
    MMRESULT result = waveOutReset(device->handle);
    if (result != MMSYSERR_NOERROR) return int(result);
    SetEvent(device->done_signal);
    Locked locked(device);
    while (device->hook_running || (device->queue.head && system_done(device, device->queue.head)))
      SleepConditionVariableCS(&device->changed, &device->lock, INFINITE);
    if (!device->queue.head) return wave_ok;
  }
}

int wave_out_close(WaveDevice* device) {
  if (!device) return wave_invalid_handle;
  {
    Locked locked(device);
    if (device->queue.head) return wave_still_playing;
  }
  MMRESULT result = waveOutClose(device->handle);
  if (result != MMSYSERR_NOERROR) return int(result);
  remember_open(device, false);
  HANDLE notifier = nullptr;
  {
    Locked locked(device);
    device->closing = true;
    // Closed from inside a hook: the notifier is this very thread; it frees the
    // record once the hook has returned.
    if (on_notifier(device)) {
      CloseHandle(device->notifier);
      device->notifier = nullptr;
    } else {
      notifier = device->notifier;
    }
  }
  SetEvent(device->done_signal);
  if (!notifier) return wave_ok;
  WaitForSingleObject(notifier, INFINITE);
  free_device(device);
  return wave_ok;
}

int wave_out_get_position(WaveDevice* device, uint32_t* bytes_played) {
  if (!device) return wave_invalid_handle;
  if (!bytes_played) return wave_invalid_param;
  MMTIME time{};
  time.wType = TIME_BYTES;
  MMRESULT result = waveOutGetPosition(device->handle, &time, sizeof time);
  if (result != MMSYSERR_NOERROR) return int(result);
  // A driver may answer in another unit than the one asked for.
  switch (time.wType) {
    case TIME_BYTES: *bytes_played = time.u.cb; break;
    case TIME_SAMPLES: *bytes_played = time.u.sample * device->frame_bytes; break;
    case TIME_MS:
      *bytes_played = uint32_t(uint64_t(time.u.ms) * device->bytes_per_second / 1000 / device->frame_bytes *
                               device->frame_bytes);
      break;
    default: return wave_error;
  }
  return wave_ok;
}

void wave_out_error_text(int code, char* text, size_t size) {
  if (!text || size == 0) return;
  text[0] = 0;
  if (waveOutGetErrorTextA(MMRESULT(code), text, UINT(size)) != MMSYSERR_NOERROR) text[0] = 0;
  text[size - 1] = 0;
}

void win32_wave_out_silence_all() {
  AcquireSRWLockShared(&open_devices_lock);
  for (WaveDevice* device : open_devices)
    if (device) waveOutPause(device->handle);
  ReleaseSRWLockShared(&open_devices_lock);
}
