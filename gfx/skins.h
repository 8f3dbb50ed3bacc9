#pragma once
// The two skins, "Grunge" (1) and "Carbon" (2): each an 800 x 600 index picture
// with its palette, rendered once into a finished background; every magazine
// frame starts with a straight copy of the current one. `skin` 1 picks Grunge,
// any other value Carbon.
#include <cstdint>

#include "gfx/frame_buffer.h"

struct Skins {
  int32_t width = 800, height = 600;
  uint32_t palette[2][256];
  uint8_t indices[2][screen_pixels];
  FrameBuffer background[2];
};

// pictures: skin 1 (768-byte palette, 480,000 indices), then skin 2 likewise.
void skin_pictures_unpack(Skins& skins, const uint8_t* pictures);

// Source columns sx..sx+w and rows sy..sy+h of both pictures, through their
// palettes, into both backgrounds from (dx, dy). Parts outside a picture or a
// background are skipped.
void skin_backgrounds_render(Skins& skins, int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t dx, int32_t dy);

void background_copy(const Skins& skins, int32_t skin, FrameBuffer& frame);
