#pragma once
// The one palette rule of every embedded picture: 256 entries of three bytes,
// red, green, blue (full 8 bits), become 0x00RRGGBB.
#include <cstdint>

void palette_expand(const uint8_t* rgb_bytes, uint32_t* out);
