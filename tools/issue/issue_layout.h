#pragma once
// What the program expects of the issue's content: which files, the length of
// each page as the menu and the buttons lead to it, the pictures' sizes.
#include <array>

constexpr int issue_pages = 20;
constexpr int page_columns = 80;

// Lines of each page (line 0 included), pages 1..20; entry 0 unused.
constexpr std::array<int, 21> expected_page_length = {
    0, 42, 35, 57, 1615, 64, 29, 22, 180, 63, 117, 67, 411, 87, 88, 153, 7, 5, 7, 3, 5};

struct PictureRule {
  const char* file;     // under assets/
  int width;
  int height;
  bool required;        // the intro's big font arrives with the intro
  bool grey_palette;    // entry i is a grey, entry 0 black
};

constexpr PictureRule skin_grunge_rule = {"pictures/skin_grunge.png", 800, 600, true, false};
constexpr PictureRule skin_carbon_rule = {"pictures/skin_carbon.png", 800, 600, true, false};
constexpr PictureRule page_font_rule = {"pictures/page_font.png", 2048, 28, true, true};
constexpr PictureRule big_font_rule = {"pictures/big_font.png", 1888, 32, false, false};

// Short-text counts.
constexpr int menu_entries = 20;
constexpr int credit_line_count = 9;
constexpr int scroller_piece_count = 18;
constexpr int module_count = 4;
constexpr int menu_label_columns = 28;   // a label wider than this runs into the next column
constexpr int menu_header_columns = 56;  // the menu panel's width in characters
