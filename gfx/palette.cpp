#include "gfx/palette.h"

void palette_expand(const uint8_t* rgb_bytes, uint32_t* out) {
  for (int i = 0; i < 256; ++i)
    out[i] = uint32_t(rgb_bytes[3 * i]) << 16 | uint32_t(rgb_bytes[3 * i + 1]) << 8 | rgb_bytes[3 * i + 2];
}
