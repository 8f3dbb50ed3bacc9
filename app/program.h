#pragma once
// The program's single instances, made once at start and kept for the whole run.
// Everything the screens draw and read hangs off here; the parts take what they
// need by reference, so tests can build their own.
#include <cstdint>

#include "app/app_state.h"
#include "app/background_music.h"
#include "gfx/large_font.h"
#include "gfx/big_font.h"
#include "app/magazine.h"
#include "display/display.h"
#include "gfx/frame_buffer.h"
#include "gfx/intro_screen.h"
#include "sid/sid_player.h"

// What the screen is showing, for traces and tests.
enum class Screen { release, intro, flash, magazine, wipe };

struct Program {
  AppState app;
  FrameBuffer frame;
  DisplayLayer display;      // the window, its presentation and the mouse
  Magazine magazine;         // pages, font, skins, buttons, menu, pointer, ticker
  Screen screen = Screen::release;
  IntroScreen intro;
  SidPlayer sid;             // the intro's tunes
  BigFont big_font;
  CreditLines credit_lines;
  int32_t page_loaded = 0;   // the page last given to load_page
  bool music_on = false;     // background music playing (button 6 dark)
  BackgroundMusic music;     // the XM player, its module and the music bars
};

const char* screen_name(Screen screen);
