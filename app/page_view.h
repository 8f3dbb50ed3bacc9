#pragma once
// The page view: 33 slots showing lines top_line..top_line+32, each 80 columns
// of 9 x 12 characters over an optional band, and the scroll bar at the right.
// Slot s has its top row at line_offset + 175 + 12 s; column n starts at
// x = 23 + 9 n. Plain lines in slots 1..30 paint whole cells; band lines and
// the top and two bottom slots paint strokes only, so the skin shows through.
#include <cstdint>

#include "app/app_state.h"
#include "app/page_store.h"
#include "app/text_cells.h"
#include "gfx/frame_buffer.h"

void draw_page_bands(FrameBuffer& frame, const PageStore& store, const AppState& app, int32_t top);
void draw_page_text(FrameBuffer& frame, const PageStore& store, const PageFont& font, const AppState& app, int32_t top);

// The knob (only for pages longer than 33 lines) and its handling: hover glow,
// pointer style, and dragging, which ignores the click latch.
void draw_scrollbar(FrameBuffer& frame, const AppState& app);
void handle_scrollbar(AppState& app);
