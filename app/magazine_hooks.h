#pragma once
// What the magazine's controls call outside themselves. The page change runs
// the two wipes around load_page; the music calls belong to the XM player
// (xm_stop_current, xm_play_current, play_module_1..4) and the music bars.
// A null music hook does nothing, so the screen works before the music does;
// every music hook gets the context stored with them (the program's music).
#include <cstdint>

#include "gfx/frame_buffer.h"

struct PageChanger {
  void (*change)(void* context, int32_t page) = nullptr;  // wipe_out, load_page(page), wipe_in
  void* context = nullptr;
};

struct MusicCalls {
  void* context = nullptr;
  void (*stop_current)(void* context) = nullptr;                              // xm_stop_current
  void (*play_current)(void* context) = nullptr;                              // xm_play_current
  void (*play_module)(void* context, int32_t module) = nullptr;               // play_module_1..4
  void (*update_bars)(void* context, FrameBuffer& frame, int32_t skin) = nullptr;  // excite and draw the 40 bars
};

inline void change_page(const PageChanger& changer, int32_t page) {
  if (changer.change) changer.change(changer.context, page);
}
