#pragma once
// The one window and its surface, as the display layer expects of the OS: open a
// full-screen, captioned or pop-up window for a frame of width x height, lock the
// surface and write rows in its pixel format, present, and pump the window's
// events. Mouse positions arrive in frame pixels, clamped to the frame, whatever
// the scaling.
//
// How full screen is made is each backend's own duty:
// - win32 changes the display mode to the frame's size (32, else 24, else 16
//   bits) and flips a chain of surfaces in that mode; closing restores the mode.
// - sdl keeps the desktop's own mode and scales the frame to fit it (aspect
//   kept, black borders); the display mode is never changed.
// - virtual has a surface in memory of the frame's size.
// The surface's pixel format follows from that (window_surface_format); a format
// no converter takes reads as 0 bits per pixel.
//
// The lock restores a surface the system took away (a mode switch, a task
// switch) before it locks. Events from the system that arrive while the window
// opens (activation, above all) wait for the first pump.
//
// Duties of every backend besides the calls below:
// - Quit requests from outside the window (SIGINT, SIGTERM and SIGHUP; on Windows
//   a console's Ctrl+C or the end of the session) end the program as its own end
//   does: at the next window_next_event the backend silences every wave device,
//   closes the window and ends the process with status 0. A second request while
//   that runs, or an end that takes more than three seconds, ends the process at
//   once with status 128 + the signal's number. The window's own close request
//   (Alt+F4) is not one of them: it arrives as a close_request event. A page in a
//   browser has none: the browser ends it.
// - A window_open that fails writes one line on stderr (where the process has
//   one) saying that no display could be opened and why. A backend that can run
//   without a display (off-screen, dummy) does so only when the user asked for
//   it by name; otherwise having no display is a failure.
#include <cstdint>

struct SurfaceFormat {
  int bits_per_pixel = 32;
  uint32_t red_mask = 0xFF0000;
  uint32_t green_mask = 0xFF00;
  uint32_t blue_mask = 0xFF;
};

enum class WindowKind { full_screen, captioned, popup };

struct WindowEvent {
  enum Kind { mouse_move, left_down, left_up, right_down, right_up, wheel, activate, close_request, key_down };
  Kind kind = mouse_move;
  int32_t x = 0, y = 0;        // mouse_move: frame pixels
  int32_t wheel_delta = 0;     // wheel: signed notches, positive away from the user (0 can happen)
  int32_t active = 0;          // activate: non-zero when the program became the active one
  int32_t key = 0;             // key_down: virtual-key code (see keys.h)
};

bool window_open(const char* title, int width, int height, WindowKind kind);
SurfaceFormat window_surface_format();
// The surface's rows: `pitch` bytes apart. Only valid between lock and unlock.
bool window_lock(uint8_t** pixels, int* pitch);
void window_unlock();
// With `wait_for_vertical_sync` the backend asks the OS to wait for the display;
// whether it really waits is measured by the display layer, which paces the
// frames itself where it does not (display/frame_pacing.h).
void window_present(bool wait_for_vertical_sync);
// The display's refresh rate in hertz as the OS reports it, 0 when unknown.
double window_refresh_hz();
// The message pump: the next pending event, or false when there is none. Key
// events also reach keys.h's polled state, as the OS would keep it.
bool window_next_event(WindowEvent* event);
void window_close();
void window_show_cursor(bool shown);
// Off for the run; allowing it again switches it back on only if it was on
// before the program switched it off.
void screen_saver_allow(bool allowed);
