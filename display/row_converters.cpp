// The eight row converters and the table that picks one by exact format match.
// Written as plain loops over whole pixels: the compiler vectorises them, and the
// results are bit-exact whatever the row length.
#include "display/row_converters.h"

#include <cstring>

namespace {

inline void store16(uint8_t* at, uint32_t value) {
  at[0] = uint8_t(value);
  at[1] = uint8_t(value >> 8);
}

struct ConverterEntry {
  int bits;
  uint32_t red_mask, green_mask, blue_mask;
  RowConverter convert;
};

// The first entry that matches all four values wins.
constexpr ConverterEntry converter_table[] = {
    {32, 0xFF0000, 0xFF00, 0xFF, convert_row_copy32},
    {32, 0xFF, 0xFF00, 0xFF0000, convert_row_swap32},
    {24, 0xFF0000, 0xFF00, 0xFF, convert_row_bgr24},
    {24, 0xFF, 0xFF00, 0xFF0000, convert_row_rgb24},
    {16, 0xF800, 0x7E0, 0x1F, convert_row_565},
    {16, 0x1F, 0x7E0, 0xF800, convert_row_565_swapped},
    {16, 0x7C00, 0x3E0, 0x1F, convert_row_555},
    {16, 0x1F, 0x3E0, 0x7C00, convert_row_555_swapped},
};

}  // namespace

void convert_row_copy32(const uint32_t* source, uint8_t* destination, int pixel_count) {
  if (pixel_count > 0) std::memcpy(destination, source, size_t(pixel_count) * 4);
}

void convert_row_swap32(const uint32_t* source, uint8_t* destination, int pixel_count) {
  for (int i = 0; i < pixel_count; ++i) {
    uint32_t p = source[i];
    uint32_t q = (p & 0xFF00) | ((p >> 16) & 0xFF) | ((p & 0xFF) << 16);
    std::memcpy(destination + 4 * i, &q, 4);
  }
}

void convert_row_bgr24(const uint32_t* source, uint8_t* destination, int pixel_count) {
  for (int i = 0; i < pixel_count; ++i) {
    uint32_t p = source[i];
    destination[3 * i] = uint8_t(p);
    destination[3 * i + 1] = uint8_t(p >> 8);
    destination[3 * i + 2] = uint8_t(p >> 16);
  }
}

void convert_row_rgb24(const uint32_t* source, uint8_t* destination, int pixel_count) {
  for (int i = 0; i < pixel_count; ++i) {
    uint32_t p = source[i];
    destination[3 * i] = uint8_t(p >> 16);
    destination[3 * i + 1] = uint8_t(p >> 8);
    destination[3 * i + 2] = uint8_t(p);
  }
}

void convert_row_565(const uint32_t* source, uint8_t* destination, int pixel_count) {
  for (int i = 0; i < pixel_count; ++i) {
    uint32_t p = source[i];
    uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    store16(destination + 2 * i, ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
  }
}

void convert_row_565_swapped(const uint32_t* source, uint8_t* destination, int pixel_count) {
  for (int i = 0; i < pixel_count; ++i) {
    uint32_t p = source[i];
    uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    store16(destination + 2 * i, ((b >> 3) << 11) | ((g >> 2) << 5) | (r >> 3));
  }
}

void convert_row_555(const uint32_t* source, uint8_t* destination, int pixel_count) {
  for (int i = 0; i < pixel_count; ++i) {
    uint32_t p = source[i];
    uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    store16(destination + 2 * i, ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
  }
}

void convert_row_555_swapped(const uint32_t* source, uint8_t* destination, int pixel_count) {
  for (int i = 0; i < pixel_count; ++i) {
    uint32_t p = source[i];
    uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    store16(destination + 2 * i, ((b >> 3) << 10) | ((g >> 3) << 5) | (r >> 3));
  }
}

RowConverter row_converter_for(int bits, uint32_t red_mask, uint32_t green_mask, uint32_t blue_mask) {
  for (const ConverterEntry& entry : converter_table)
    if (entry.bits == bits && entry.red_mask == red_mask && entry.green_mask == green_mask &&
        entry.blue_mask == blue_mask)
      return entry.convert;
  return nullptr;
}
