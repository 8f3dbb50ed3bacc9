#include "tests/support/shot_pixels.h"

#include <png.h>

std::vector<uint32_t> read_shot_pixels(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  std::vector<uint32_t> pixels;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return pixels;
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return pixels;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) pixels.push_back(uint32_t(rgb[i]) << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
  return pixels;
}

uint64_t pixel_hash(const std::vector<uint32_t>& pixels) {
  uint64_t h = 14695981039346656037ull;
  for (uint32_t p : pixels)
    for (int b = 0; b < 3; ++b) h = (h ^ ((p >> (8 * b)) & 0xFF)) * 1099511628211ull;
  return h;
}
