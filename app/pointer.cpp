// The pointer's two colourings and its drawing.
#include "app/pointer.h"

namespace {
constexpr uint32_t normal_colours[5] = {0, 0x111133, 0x8888AA, 0xCCCCEE, 0x555577};
constexpr uint32_t hover_colours[5] = {0, 0x221100, 0xDDBB77, 0xFFEEAA, 0x995522};
}  // namespace

void pointer_images_build(PointerImages& images, const int32_t* at) {
  for (int i = 0; i < pointer_size * pointer_size; ++i) {
    int32_t v = at[i];
    bool shown = v >= 1 && v <= 4;
    images.opaque[i] = shown;
    images.pixel[0][i] = shown ? normal_colours[v] : 0;
    images.pixel[1][i] = shown ? hover_colours[v] : 0;
  }
}

void draw_pointer(FrameBuffer& frame, const PointerImages& images, int32_t style, int32_t x, int32_t y) {
  if (!(x > 0 && x < 792 && y > 0 && y < 592)) return;
  const uint32_t* image = images.pixel[style == 1 ? 0 : 1];
  for (int r = 0; r < pointer_size; ++r)
    for (int c = 0; c < pointer_size; ++c)
      if (images.opaque[r * pointer_size + c] && x + c < screen_width && y + r < screen_height)
        frame.at(x + c, y + r) = image[r * pointer_size + c];
}
