#pragma once
// The spine: start-up, the release wait, the intro, the change to the magazine,
// the magazine loop and the end. Returns the process's exit status: 0 after the
// reader leaves the magazine, -1 when the display cannot be opened.
#include "app/program.h"

int run_magazine(Program& program);

// The start-up steps before the display opens: page tables and the editorial,
// menus, skins, font, pointer, buttons, intro texts, tunes, music bars.
void start_up_tables(Program& program);
