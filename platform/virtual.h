#pragma once
// The virtual backend's own controls, for tests and magcapture. Everything here
// is for the main thread.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/window.h"

// A fresh world: time 0, no devices, no pending input, empty recordings, keys up,
// the pointer at 0,0. Threads of earlier runs must have ended.
void virtual_reset();

int64_t virtual_now_ns();
void virtual_advance_ms(double milliseconds);   // what sleep_ms does on the main thread
void virtual_advance_to_ns(int64_t target_ns);

// What the wave devices played: 44,100 Hz stereo frames from time 0, every device
// summed (a mono device on both channels), 0 where nothing played.
const std::vector<int32_t>& virtual_audio();
bool virtual_write_audio_wav(const char* path);
// Samples one device played, in its own format (for tests of a single stream).
struct WaveDevice;
const std::vector<int16_t>& virtual_device_played(WaveDevice* device);

// A failing driver, for tests: from now on the wave output calls named in `calls`
// return `result` and do nothing else, on every device (virtual_reset heals them).
constexpr uint32_t virtual_wave_open = 1u << 0;
constexpr uint32_t virtual_wave_prepare = 1u << 1;
constexpr uint32_t virtual_wave_unprepare = 1u << 2;
constexpr uint32_t virtual_wave_write = 1u << 3;
constexpr uint32_t virtual_wave_pause_restart = 1u << 4;
constexpr uint32_t virtual_wave_reset = 1u << 5;
constexpr uint32_t virtual_wave_close = 1u << 6;
constexpr uint32_t virtual_wave_position = 1u << 7;
void virtual_fail_wave_calls(uint32_t calls, int result);

// Display side.
void virtual_set_refresh(double hertz);          // each present advances 1/hertz (default 60)
// false: presents return at once, as where vsync does not work (the display
// layer then paces the frames itself); the refresh is still what the window
// reports. A fresh world has presents that wait.
void virtual_set_presents_wait(bool wait);
void virtual_set_surface_format(const SurfaceFormat& format);
void virtual_post_event(const WindowEvent& event);   // delivered by the next pump
bool virtual_window_is_open();
// The last presented surface, as 0x00RRGGBB pixels (whatever the surface format).
std::vector<uint32_t> virtual_presented_frame(int* width, int* height);
bool virtual_save_png(const char* path, const std::vector<uint32_t>& pixels, int width, int height);
uint64_t virtual_presented_count();

// Input scripts (magcapture): one command a line, see tools/magcapture.
// Returns false with "line N: message" in *error.
bool virtual_load_script(const std::string& text, std::string* error);
void virtual_set_shot_directory(const std::string& directory);

// Called after every present with its number (from 1) and the virtual time at
// which it was presented.
using VirtualPresentObserver = void (*)(uint64_t frame_number, double time_seconds);
void virtual_set_present_observer(VirtualPresentObserver observer);

// Called when the run ends: by process_exit, or with 3 when the script ran out or
// asked to quit. It should write what it must and not return.
using VirtualRunEnd = void (*)(int status);
void virtual_set_run_end(VirtualRunEnd handler);
