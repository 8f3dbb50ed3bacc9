// The band colours and the moving rainbow.
#include "app/bands.h"

#include <cmath>

namespace {

struct BandColours {
  uint32_t centre, outer;
};
constexpr BandColours solid_bands[8] = {
    {0, 0},                    // 0: none
    {0xFFFFFF, 0x888888},      // 1 white
    {0xFF0000, 0x880000},      // 2 red
    {0x00FF00, 0x008800},      // 3 green
    {0x0000FF, 0x000088},      // 4 blue
    {0xFFFF00, 0x888800},      // 5 yellow
    {0x00FFFF, 0x008888},      // 6 cyan
    {0xFF00FF, 0x880088},      // 7 magenta
};

uint32_t rainbow(double t, double amplitude, double middle) {
  auto level = [&](double s) { return uint32_t(std::nearbyint(std::sin(s) * amplitude + middle)); };
  return level(t * 0.01) << 16 | level(t * 0.012 + 0.96) << 8 | level(t * 0.013 + 2.47);
}

}  // namespace

void draw_band(FrameBuffer& frame, int32_t y, int32_t x, int32_t length, int32_t style, double magazine_phase) {
  if (style >= 1 && style <= 7) {
    const BandColours& c = solid_bands[style];
    for (int32_t i = 0; i < length; ++i) {
      frame.at(x + i, y - 1) = c.outer;
      frame.at(x + i, y) = c.centre;
      frame.at(x + i, y + 1) = c.outer;
    }
  } else if (style == 8) {
    for (int32_t i = 0; i <= length; ++i) {
      double t = magazine_phase + i;
      uint32_t outer = rainbow(t, 64, 65);
      frame.at(x + i, y - 1) = outer;
      frame.at(x + i, y) = rainbow(t, 124, 125);
      frame.at(x + i, y + 1) = outer;
    }
  }
}
