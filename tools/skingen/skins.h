#pragma once
// The two skin painters. Both lay their buttons under the hit boxes of the
// program's button table and keep the page area, the menu panel, the music
// well and the scroll track where the magazine screen draws into them.
#include "app/pointer_buttons.h"
#include "tools/skingen/canvas.h"

// Hit box of button 1..10 as the inclusive rectangle the tints cover.
struct Rect {
  int x0, y0, x1, y1;
};
inline Rect button_rect(int button, int skin) {
  ButtonBox b = listed_button_box(button, skin);
  return {b.x, b.y, b.x + b.w, b.y + b.h};
}

constexpr const char* button_labels[11] = {"", "EXIT", "CHARTS", "ARTICLES", "RULES", "HELP", "MUSIC", "1", "2", "3", "4"};

void paint_grunge(Canvas& c, const Atlas& atlas);
void paint_carbon(Canvas& c, const Atlas& atlas);
