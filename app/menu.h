#pragma once
// The menu: two columns of five rows inside the menu panel. In the charts menu
// (menu_mode 1) the left rows hold entries 1..5 and the right rows 6..9; in the
// articles menu (2) entries 11, 13..16 and 17..20. Right row 5 is the switch
// entry to the other menu. An entry's page is its number; entries 10 and 12
// (Help, Rules) belong to buttons. page_marks show which entry is on screen.
#include <cstdint>
#include <string>

#include "app/app_state.h"
#include "app/magazine_hooks.h"
#include "app/text_cells.h"
#include "gfx/frame_buffer.h"

constexpr int menu_entry_count = 20;
constexpr int switch_mark = 21;

// The two menus (AppState::menu_mode).
constexpr int32_t menu_charts = 1;
constexpr int32_t menu_articles = 2;

// Pages reached other than through their menu entries: Help and Rules by their
// buttons, the editorial as the first page shown.
constexpr int32_t help_page = 10;
constexpr int32_t editorial_page = 11;
constexpr int32_t rules_page = 12;

struct Menu {
  std::string header;
  std::string labels[menu_entry_count + 1];   // 1..20, CP437
  int32_t visible[menu_entry_count + 1] = {};
  int32_t page_marks[switch_mark + 1] = {};   // 1..21
};

// Entries of rows 1..5 (left) and 1..4 (right) for a menu mode.
struct MenuLayout {
  int32_t left[5];
  int32_t right[4];
  const char* switch_label;
};
const MenuLayout& menu_layout(int32_t menu_mode);

void clear_page_marks(Menu& menu);

struct Buttons;
// Clicks on the entries and the switch entry; a press reaching the menu is used
// up even when it hits nothing.
void handle_menu_click(Menu& menu, Buttons& buttons, AppState& app, const PageChanger& pages);
void draw_menu(FrameBuffer& frame, const Menu& menu, const PageFont& font, AppState& app);
