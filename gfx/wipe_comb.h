#pragma once
// The comb of the page transition: at step value s, every second column from
// each side of the page area turns black, k = 0, 2, 4, ... while k <= s.
// wipe_out steps s = 0, 10, ..., 740; wipe_in steps s = 747, 737, ..., 7.
#include <cstdint>

#include "gfx/frame_buffer.h"

constexpr int32_t wipe_left = 20;
constexpr int32_t wipe_right = 767;
constexpr int32_t wipe_top = 192;
constexpr int32_t wipe_out_first = 0, wipe_out_step = 10, wipe_out_end = 747;  // while s < 747
constexpr int32_t wipe_in_first = 747, wipe_in_step = -10;                        // while s > 0
constexpr int wipe_steps = 75;

// Last row of the page area: 569 for skin 1, 570 for skin 2.
constexpr int32_t wipe_bottom(int32_t skin) { return wipe_top + (skin == 1 ? 377 : 378); }

void wipe_comb(FrameBuffer& frame, int32_t s, int32_t bottom_row);

// Step value number i (0..74) of each wipe.
constexpr int32_t wipe_out_value(int i) { return wipe_out_first + wipe_out_step * i; }
constexpr int32_t wipe_in_value(int i) { return wipe_in_first + wipe_in_step * i; }
