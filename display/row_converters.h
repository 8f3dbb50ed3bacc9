#pragma once
// Row converters: one row of 0x00RRGGBB frame pixels into a surface row of one of
// the eight RGB formats a display may offer. Lower bits are dropped, never
// rounded; 16-bit pixels are little-endian, 24-bit pixels take three bytes each.
#include <cstdint>

using RowConverter = void (*)(const uint32_t* source, uint8_t* destination, int pixel_count);

void convert_row_copy32(const uint32_t* source, uint8_t* destination, int pixel_count);
void convert_row_swap32(const uint32_t* source, uint8_t* destination, int pixel_count);
void convert_row_bgr24(const uint32_t* source, uint8_t* destination, int pixel_count);  // memory B, G, R
void convert_row_rgb24(const uint32_t* source, uint8_t* destination, int pixel_count);  // memory R, G, B
void convert_row_565(const uint32_t* source, uint8_t* destination, int pixel_count);
void convert_row_565_swapped(const uint32_t* source, uint8_t* destination, int pixel_count);
void convert_row_555(const uint32_t* source, uint8_t* destination, int pixel_count);
void convert_row_555_swapped(const uint32_t* source, uint8_t* destination, int pixel_count);

// The converter for a surface of `bits` per pixel with these channel masks, or
// null when there is none (the display then cannot be used).
RowConverter row_converter_for(int bits, uint32_t red_mask, uint32_t green_mask, uint32_t blue_mask);
