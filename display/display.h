#pragma once
// The display layer: the program's one window, its presentation and its mouse.
// Configure, open once, update once per frame with the whole frame, close once.
// The window's event handler (run inside display_update's pump) keeps the mouse
// position, both buttons, the wheel counter and whether the program is active;
// frames are converted and shown only while it is active.
//
// All of it lives in one DisplayLayer that the program owns and passes; a
// default-constructed one is the state before the first display_configure.
#include <cstdint>
#include <string>

#include "display/frame_pacing.h"
#include "display/row_converters.h"

// How display_open presents: ask the user, or take `windowed` as given.
struct DisplaySetup {
  bool ask = false;                          // ask with a yes/no box at open (yes: full screen)
  const char* question = "";                 // its text; empty keeps "Fullscreen Mode ?"
  bool windowed = true;                      // when not asking: a window (true) or full screen
  bool popup = false;                        // a window without caption or border
};

struct DisplayLayer {
  bool window_exists = false;
  uint32_t active = 0;                       // the program is the active application
  int32_t width = 0, height = 0;
  uint32_t mouse_x = 0, mouse_y = 0;
  uint32_t mouse_left = 0, mouse_right = 0;
  // A press and its release within one pump (a tap, a quick click) would never
  // be seen: the release then waits for the next pump, so one frame sees it.
  bool left_press_unseen = false;            // pressed during the current pump
  bool left_release_pending = false;
  int32_t wheel = 0;
  int32_t wheel_step = 1;
  bool ask = false;
  std::string question = "Fullscreen Mode ?";
  bool windowed = true;
  bool popup = false;
  bool flip_wait = true;                     // presents follow the display's refresh
  bool close_on_escape = true;               // Escape or a close request ends the program at once
  RowConverter converter = nullptr;
  FramePacer pacer;
};

void display_configure(DisplayLayer& display, const DisplaySetup& setup);
void display_set_close_on_escape(DisplayLayer& display, bool flag);
void display_set_flip_wait(DisplayLayer& display, bool flag);
// True on success. On failure nothing stays open.
bool display_open(DisplayLayer& display, const char* title, int32_t width, int32_t height);
// Pump, convert, present; false when the surface could not be locked.
bool display_update(DisplayLayer& display, const uint32_t* frame);
void display_close(DisplayLayer& display);

uint32_t display_mouse_x(const DisplayLayer& display);
uint32_t display_mouse_y(const DisplayLayer& display);
uint32_t display_mouse_left(const DisplayLayer& display);
uint32_t display_mouse_right(const DisplayLayer& display);
int32_t display_mouse_wheel(const DisplayLayer& display);
void display_set_mouse_wheel(DisplayLayer& display, int32_t step, int32_t value);
bool display_window(const DisplayLayer& display);   // true while the window exists
