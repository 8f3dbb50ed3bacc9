#pragma once
// Wave output: the waveOut model of a PCM device fed with queued buffers.
//
// - A device is opened for 16-bit PCM, mono or stereo, at a given rate. It starts
//   running: queued buffers play at once unless the device is paused.
// - A header describes one caller-owned buffer. It must be prepared before it is
//   written (queued) and unprepared (when not queued) before the memory goes away.
// - When the device has played a buffer it sets wave_done, clears wave_in_queue
//   and calls the done hook given at open with (device, header, instance).
//   The hook runs on a notification thread of the device (SDL and win32 backends;
//   on Windows woken by waveOut's event, since waveOut's own callback may not call
//   waveOut again), on the main thread at the virtual moment the buffer ends
//   (virtual backend) or at the main thread's next sleep or present after it was
//   heard (web backend); never with a device lock held, so the hook may prepare
//   and write buffers again. Hooks of one device run one at a time, in the order
//   the buffers were written.
// - A header with wave_begin_loop | wave_end_loop plays `loops` times in a row
//   (0xFFFFFFFF: for all practical purposes forever) before it is done. The loop
//   flags and count are read when the header is written.
// - wave_out_reset stops playback, sets the position back to 0 and hands every
//   queued header back as done (their hooks run); it returns only after those
//   hooks and any hook already running or due have finished, with nothing
//   queued: a header that such a hook queues again is handed back too. A hook
//   that queues again every time would keep that going for ever; after
//   wave_reset_rounds rounds the reset gives up and returns wave_still_playing.
// - wave_out_close on a device with queued headers fails with wave_still_playing;
//   closing a null device fails with wave_invalid_handle and does nothing else.
// - The position counts the bytes actually played since open or the last reset.
// - Result codes and their texts are the system's where it has them (win32),
//   else those below with texts of our own.
#include <cstddef>
#include <cstdint>

struct WaveDevice;

struct WaveFormat {
  uint16_t channels = 2;               // 1 or 2
  uint32_t samples_per_second = 44100;
  uint16_t bits_per_sample = 16;       // only 16 is supported
};

constexpr uint32_t wave_done = 0x01;
constexpr uint32_t wave_prepared = 0x02;
constexpr uint32_t wave_begin_loop = 0x04;
constexpr uint32_t wave_end_loop = 0x08;
constexpr uint32_t wave_in_queue = 0x10;

struct WaveHeader {
  void* data = nullptr;
  uint32_t buffer_length = 0;   // bytes, a multiple of the frame size
  uint32_t bytes_recorded = 0;  // unused for output, kept for the caller
  uintptr_t user = 0;           // the caller's own word
  uint32_t flags = 0;
  uint32_t loops = 0;
  // Owned by the device while the header is queued.
  WaveHeader* next_in_queue = nullptr;
  uint32_t played_bytes = 0;
  uint32_t loops_left = 0;
};

using WaveDoneHook = void (*)(WaveDevice* device, WaveHeader* header, uintptr_t instance);

// Result codes follow the waveOut numbering.
constexpr int wave_ok = 0;
constexpr int wave_error = 1;
constexpr int wave_bad_device = 2;
constexpr int wave_invalid_handle = 5;
constexpr int wave_no_driver = 6;
constexpr int wave_no_memory = 7;
constexpr int wave_invalid_param = 11;
constexpr int wave_bad_format = 32;
constexpr int wave_still_playing = 33;
constexpr int wave_unprepared = 34;

constexpr int wave_reset_rounds = 1000;

int wave_out_open(WaveDevice** device, const WaveFormat& format, WaveDoneHook hook, uintptr_t instance);
int wave_out_prepare_header(WaveDevice* device, WaveHeader* header);
int wave_out_unprepare_header(WaveDevice* device, WaveHeader* header);
int wave_out_write(WaveDevice* device, WaveHeader* header);
int wave_out_pause(WaveDevice* device);
int wave_out_restart(WaveDevice* device);
int wave_out_reset(WaveDevice* device);
int wave_out_close(WaveDevice* device);
int wave_out_get_position(WaveDevice* device, uint32_t* bytes_played);

// The platform's text for a result code ("" for none), always terminated.
void wave_out_error_text(int code, char* text, size_t size);
