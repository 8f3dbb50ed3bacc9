// Unpacking the embedded page font.
#include "gfx/page_font.h"

#include <cstring>

void font_atlas_unpack(FontAtlas& atlas, const uint8_t* index_bytes) {
  std::memcpy(atlas.intensity, index_bytes, sizeof atlas.intensity);
  palette_expand(index_bytes + sizeof atlas.intensity, atlas.palette);
}
