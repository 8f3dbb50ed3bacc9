#pragma once
// The intro screen's own state: the 300 stars, the two wave tables of the
// scroller, the three colour tables by screen row, and the scroller position.
// The tables are rebuilt every frame from intro_phase; the large-font drawers
// read them.
#include <cstdint>
#include <string>

constexpr int intro_star_count = 300;
constexpr int intro_wave_columns = 801;   // screen columns 0..800
constexpr int intro_colour_rows = 631;    // screen rows 0..630

struct IntroScreen {
  double star_x[intro_star_count + 1] = {};   // stars 1..300
  double star_y[intro_star_count + 1] = {};
  int32_t wave_a[intro_wave_columns] = {};   // top row of the upright scroller glyphs
  int32_t wave_b[intro_wave_columns] = {};   // top row of their mirror image
  uint32_t credit_face[intro_colour_rows] = {};
  uint32_t scroller_face[intro_colour_rows] = {};
  uint32_t reflection[intro_colour_rows] = {};
  double scroller_x = 0;
  int32_t scroller_index = 1;   // 1-based position of the first character shown
  std::string scroller_text;    // set once at start-up
};

// The scroller's pause mark: shown as a blank, it stops the scroller for 4 s.
constexpr char scroller_pause_mark = 'a';
