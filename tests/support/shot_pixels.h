#pragma once
// The pixels of a magcapture shot, decoded, and their hash. Golden tests hash
// pixels rather than PNG file bytes, which change with the zlib and libpng
// versions while the picture stays the same.
#include <cstdint>
#include <string>
#include <vector>

// 0x00RRGGBB per pixel, row by row; empty when the file is not a readable PNG.
std::vector<uint32_t> read_shot_pixels(const std::string& path);

// FNV-1a 64 over each pixel's blue, green and red bytes in that order.
uint64_t pixel_hash(const std::vector<uint32_t>& pixels);
