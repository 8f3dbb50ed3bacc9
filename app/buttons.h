#pragma once
// The ten skin buttons: exit, charts menu, articles menu, Rules, Help, music
// off/on, modules 1..4. Each has a hit box per skin (inside means strictly
// between its edges), a state (1 lit) and a glow that rises while hovered.
// A press counts once: the first control that takes it sets click_latch.
#include <cstdint>

#include "app/app_state.h"
#include "app/magazine_hooks.h"
#include "app/menu.h"
#include "app/pointer_buttons.h"
#include "gfx/frame_buffer.h"

struct Button {
  ButtonBox box[2];  // skin 1, skin 2
  int32_t state = 0;
  int32_t glow = 0;
};

struct Buttons {
  Button button[button_count + 1];  // 1..10
};

// Reads the button part of the value list, starting at `at` (after the pointer).
void read_button_table(Buttons& buttons, const int32_t* at);

bool inside_box(const ButtonBox& box, int32_t px, int32_t py);
const ButtonBox& current_box(const Button& button, int32_t skin);

// F1/F2 skin keys, then clicks and their actions, in button order.
void handle_buttons(Buttons& buttons, Menu& menu, AppState& app, bool f1_struck, bool f2_struck, const PageChanger& pages,
                    const MusicCalls& music);
void draw_buttons(FrameBuffer& frame, Buttons& buttons, AppState& app);
