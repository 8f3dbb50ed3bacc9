#pragma once
// The magazine screen's own state besides AppState: pages, font, skins, buttons,
// menu, pointer, ticker. One instance (large: hold it on the heap), filled by
// magazine_init at start-up; every operation takes what it needs explicitly.
#include <cstdint>

#include "app/app_state.h"
#include "app/buttons.h"
#include "app/magazine_hooks.h"
#include "app/menu.h"
#include "app/page_store.h"
#include "app/pointer.h"
#include "app/text_cells.h"
#include "app/ticker.h"
#include "gfx/frame_buffer.h"
#include "gfx/skins.h"

struct Magazine {
  PageStore pages;
  PageFont font;
  Skins skins;
  Buttons buttons;
  Menu menu;
  PointerImages pointer;
  Ticker ticker;
};

// The start-up steps of the magazine screen, from the embedded content: page
// tables and load_page(11), menu tables (editorial marked), ticker titles,
// skin pictures, font atlas and text palette, pointer images, button table.
void magazine_init(Magazine& magazine, AppState& app);

// One magazine frame without reading input: skin background, buttons, menu,
// bands and text of the page view, music bars (while the music is on), ticker.
void draw_magazine(FrameBuffer& frame, Magazine& magazine, AppState& app, const MusicCalls& music);

// Scroll bar and pointer go over the finished frame (a page of 32 lines or
// fewer has no scroll bar and rests 5 pixels lower).
void draw_magazine_overlays(FrameBuffer& frame, Magazine& magazine, AppState& app);
