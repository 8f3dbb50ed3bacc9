// Skin pictures to finished backgrounds, and the per-frame copy.
#include "gfx/skins.h"

#include <cstring>

#include "gfx/page_font.h"

void skin_pictures_unpack(Skins& skins, const uint8_t* pictures) {
  for (int s = 0; s < 2; ++s) {
    const uint8_t* picture = pictures + s * (768 + screen_pixels);
    palette_expand(picture, skins.palette[s]);
    std::memcpy(skins.indices[s], picture + 768, screen_pixels);
  }
}

void skin_backgrounds_render(Skins& skins, int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t dx, int32_t dy) {
  for (int32_t y = sy; y <= sy + h; ++y) {
    int32_t ty = dy + (y - sy);
    if (y < 0 || y >= skins.height || ty < 0 || ty >= screen_height) continue;
    for (int32_t x = sx; x <= sx + w; ++x) {
      int32_t tx = dx + (x - sx);
      if (x < 0 || x >= skins.width || tx < 0 || tx >= screen_width) continue;
      for (int s = 0; s < 2; ++s) skins.background[s].at(tx, ty) = skins.palette[s][skins.indices[s][y * skins.width + x]];
    }
  }
}

void background_copy(const Skins& skins, int32_t skin, FrameBuffer& frame) {
  std::memcpy(frame.pixels, skins.background[skin == 1 ? 0 : 1].pixels, sizeof frame.pixels);
}
