#pragma once
// The module-title ticker: the chosen module's title line (after 139 spaces, so
// it enters from the right) moves left one pixel per frame through the menu
// box; every 9 frames the window of 58 characters moves on by one.
#include <cstdint>
#include <string>

#include "app/app_state.h"
#include "app/text_cells.h"
#include "gfx/frame_buffer.h"

constexpr int ticker_lead_spaces = 139;
constexpr int ticker_window = 58;

struct Ticker {
  std::string module_titles[6];  // 1..4, and 5 (spaces only, never shown)
  double shift = 0;              // pixels moved since ticker_pos last changed
};

// title_lines[1..4]: each module's title line (CP437).
void ticker_build(Ticker& ticker, const char* const* title_lines);
void draw_ticker(FrameBuffer& frame, Ticker& ticker, const PageFont& font, AppState& app);
