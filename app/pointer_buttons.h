#pragma once
// The embedded value list that start-up reads in order: the 11 x 11 pointer
// image row by row (0 transparent, 1..4 its colours), then for buttons 1..10
// the skin-1 box x, y, w, h with the initial state and glow, then for buttons
// 1..10 the skin-2 box x, y, w, h. The skin generator reads the boxes too, so
// the pictures' buttons always lie under their hit boxes.
#include <array>
#include <cstddef>
#include <cstdint>

constexpr int pointer_size = 11;
constexpr int pointer_values = pointer_size * pointer_size;
constexpr int button_values_skin1 = 6;
constexpr int button_values_skin2 = 4;

constexpr std::array<int32_t, 221> pointer_and_buttons = {
    // pointer
    1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0,
    1, 2, 3, 3, 3, 3, 3, 1, 0, 0, 0,
    1, 4, 2, 2, 2, 2, 1, 0, 0, 0, 0,
    1, 4, 2, 2, 2, 2, 3, 1, 0, 0, 0,
    1, 4, 2, 2, 2, 2, 2, 3, 1, 0, 0,
    1, 4, 2, 2, 2, 2, 2, 2, 3, 1, 0,
    1, 4, 1, 4, 2, 2, 2, 2, 2, 3, 1,
    1, 1, 0, 1, 4, 2, 2, 2, 2, 1, 0,
    1, 0, 0, 0, 1, 4, 2, 2, 1, 0, 0,
    0, 0, 0, 0, 0, 1, 4, 1, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0,
    // buttons 1..10, skin 1: x, y, w, h, state, glow
    35, 40, 88, 19, 0, 0,     // exit
    35, 65, 88, 19, 0, 0,     // charts menu
    35, 90, 88, 19, 1, 0,     // articles menu
    672, 65, 88, 19, 0, 0,    // Rules
    672, 90, 88, 19, 0, 0,    // Help
    672, 40, 88, 19, 0, 0,    // music off / on
    9, 132, 57, 19, 1, 0,     // module 1
    73, 132, 57, 19, 0, 0,    // module 2
    665, 132, 57, 19, 0, 0,   // module 3
    729, 132, 57, 19, 0, 0,   // module 4
    // buttons 1..10, skin 2: x, y, w, h
    25, 49, 76, 19,
    25, 73, 76, 19,
    25, 97, 76, 19,
    698, 73, 76, 19,
    698, 97, 76, 19,
    698, 49, 76, 19,
    18, 137, 43, 8,
    79, 137, 44, 8,
    669, 137, 44, 8,
    733, 137, 43, 8,
};

// The ten buttons by their numbers in the table.
constexpr int button_count = 10;
constexpr int button_exit = 1;
constexpr int button_charts = 2;     // the charts menu
constexpr int button_articles = 3;   // the articles menu
constexpr int button_rules = 4;      // shows the Rules page
constexpr int button_help = 5;       // shows the Help page
constexpr int button_music = 6;      // lit while the music is off
constexpr int button_module_1 = 7;   // modules 1..4 on buttons 7..10
constexpr int button_module_4 = 10;

constexpr int button_of_module(int module) { return button_module_1 + module - 1; }
constexpr int module_of_button(int button) { return button - button_module_1 + 1; }

struct ButtonBox {
  int32_t x, y, w, h;
};

// Box of button 1..10 for skin 1 or 2, straight from the list.
constexpr ButtonBox listed_button_box(int button, int skin) {
  if (skin == 1) {
    int at = pointer_values + (button - 1) * button_values_skin1;
    return {pointer_and_buttons[size_t(at)], pointer_and_buttons[size_t(at + 1)], pointer_and_buttons[size_t(at + 2)],
            pointer_and_buttons[size_t(at + 3)]};
  }
  int at = pointer_values + button_count * button_values_skin1 + (button - 1) * button_values_skin2;
  return {pointer_and_buttons[size_t(at)], pointer_and_buttons[size_t(at + 1)], pointer_and_buttons[size_t(at + 2)],
          pointer_and_buttons[size_t(at + 3)]};
}
