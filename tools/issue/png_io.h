#pragma once
// Palettised PNG pictures in and out (libpng). The palette of the file is the
// palette of the picture, index for index; a shorter palette is padded with black.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct IndexedPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> indices;          // width x height, row-major, top row first
  std::array<uint8_t, 768> palette{};    // 256 x (red, green, blue)
  int palette_entries = 0;               // entries the file itself holds
};

// false and a one-line reason when the file cannot be read or is not
// palettised (the reason then says how many colours it has).
bool png_read_indexed(const std::string& path, IndexedPicture& picture, std::string& error);

// Writes an 8-bit palettised PNG with all 256 palette entries.
bool png_write_indexed(const std::string& path, const IndexedPicture& picture, std::string& error);

// Writes 0x00RRGGBB pixels as a true-colour PNG (previews, captures).
bool png_write_rgb(const std::string& path, int width, int height, const uint32_t* pixels, std::string& error);
