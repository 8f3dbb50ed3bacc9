#pragma once
// The program's single instances, made once at start and kept for the whole run.
// Everything the screens draw and read hangs off here; the parts take what they
// need by reference, so tests can build their own.
#include <cstdint>

#include "app/app_state.h"
#include "gfx/frame_buffer.h"

// What the screen is showing, for traces and tests.
enum class Screen { release, intro, flash, magazine, wipe };

struct Program {
  AppState app;
  FrameBuffer frame;
  Screen screen = Screen::release;
  int32_t page_loaded = 0;   // the page last given to load_page
  bool music_on = false;     // background music playing (button 6 dark)
};

const char* screen_name(Screen screen);
