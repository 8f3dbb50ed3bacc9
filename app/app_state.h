#pragma once
// The screens' module-level state: one instance, held by the program.
// Times are seconds from the wall clock; pixel values are 0x00RRGGBB.
#include <cstdint>

struct AppState {
  int32_t current_tune = 1;              // SID tune of the intro, 1..12
  double scroller_hold_until = 0;        // the intro scroller stands still until then
  double intro_frame_started_at = 0;
  double intro_frame_scale = 0;          // last intro frame's duration x 250
  double intro_phase = 0;                // grows 50 per second
  double magazine_frame_started_at = 0;
  double magazine_phase = 0;             // grows 250 per second (rainbow bands)
  int32_t exit_requested = 0;            // the exit button ends the magazine loop
  int32_t menu_mode = 2;                 // 1 charts, 2 articles
  int32_t skin = 1;                      // 1 "Grunge", anything else "Carbon"
  int32_t top_line = 0;                  // first page line in the view
  int32_t line_offset = 0;               // smooth-scroll pixel offset
  int32_t page_length = 1;               // lines of the loaded page
  int32_t pointer_x = 0;                 // mouse, sampled and clamped once per frame
  int32_t pointer_y = 0;
  int32_t pointer_button = 0;
  int32_t click_latch = 0;               // 1 once a control has used the press
  int32_t pointer_style = 1;             // 1 normal, 2 hover
  int32_t scrollbar_glow = 0;            // 0..125
  int32_t scrollbar_dragging = 0;
  double wheel_now = 0;
  double wheel_prev = 0;
  int32_t current_module = 1;            // XM module, 1..4
  int32_t ticker_pos = 1;                // first character shown by the ticker
};

// Fixed sizes of the screens.
constexpr int page_view_lines = 33;
constexpr int page_line_limit = 5000;    // highest line index of a page table
constexpr int page_count = 20;           // highest page index
constexpr int music_bar_count = 40;
constexpr int music_bar_width = 12;
constexpr int music_bar_floor = 147;
