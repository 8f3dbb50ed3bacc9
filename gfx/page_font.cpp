// Unpacking the embedded page font.
#include "gfx/page_font.h"

#include <cstring>

void palette_expand(const uint8_t* rgb_bytes, uint32_t* out) {
  for (int i = 0; i < 256; ++i)
    out[i] = uint32_t(rgb_bytes[3 * i]) << 16 | uint32_t(rgb_bytes[3 * i + 1]) << 8 | rgb_bytes[3 * i + 2];
}

void font_atlas_unpack(FontAtlas& atlas, const uint8_t* index_bytes) {
  std::memcpy(atlas.intensity, index_bytes, sizeof atlas.intensity);
  palette_expand(index_bytes + sizeof atlas.intensity, atlas.palette);
}
