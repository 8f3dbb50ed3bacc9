// libpng glue: read any palettised PNG unpacked to one byte per pixel, write 8-bit ones.
#include "tools/issue/png_io.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <unordered_set>

namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

void on_png_error(png_structp png, png_const_charp message) {
  auto* error = static_cast<std::string*>(png_get_error_ptr(png));
  *error = message;
  std::longjmp(png_jmpbuf(png), 1);
}
void on_png_warning(png_structp, png_const_charp) {}

int count_colours(const std::vector<std::vector<uint8_t>>& rows, int width, int channels) {
  std::unordered_set<uint32_t> seen;
  for (const auto& row : rows)
    for (int x = 0; x < width; ++x) {
      uint32_t c = 0;
      for (int k = 0; k < channels; ++k) c = c << 8 | row[size_t(x * channels + k)];
      seen.insert(c);
      if (seen.size() > 100000) return int(seen.size());
    }
  return int(seen.size());
}

// The libpng calls of a read; a libpng error jumps back here and gives false.
// The rows live in the caller, so nothing of this frame is changed across the jump.
struct Rows {
  std::vector<std::vector<uint8_t>> bytes;
  std::vector<png_bytep> pointers;
};

bool read_body(png_structp png, png_infop info, FILE* file, Rows& r, IndexedPicture& picture, std::string& error) {
  auto& rows = r.bytes;
  auto& row_pointers = r.pointers;
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, file);
  png_set_sig_bytes(png, 8);
  png_read_info(png, info);
  int width = int(png_get_image_width(png, info));
  int height = int(png_get_image_height(png, info));
  int colour_type = png_get_color_type(png, info);
  int depth = png_get_bit_depth(png, info);
  if (colour_type == PNG_COLOR_TYPE_PALETTE) {
    if (depth < 8) png_set_packing(png);
  } else {
    if (depth == 16) png_set_strip_16(png);
    if (depth < 8 && colour_type == PNG_COLOR_TYPE_GRAY) png_set_expand_gray_1_2_4_to_8(png);
  }
  png_read_update_info(png, info);
  size_t row_bytes = png_get_rowbytes(png, info);
  rows.assign(size_t(height), std::vector<uint8_t>(row_bytes));
  for (auto& row : rows) row_pointers.push_back(row.data());
  png_read_image(png, row_pointers.data());
  png_read_end(png, nullptr);
  if (colour_type != PNG_COLOR_TYPE_PALETTE) {
    int colours = count_colours(rows, width, png_get_channels(png, info));
    error = colours > 256 ? "has " + std::to_string(colours) + " colours, more than 256: save it as an 8-bit palettised PNG"
                          : "is not palettised (" + std::to_string(colours) + " colours): save it as an 8-bit palettised PNG";
    return false;
  }
  png_colorp entries = nullptr;
  int count = 0;
  png_get_PLTE(png, info, &entries, &count);
  picture.width = width;
  picture.height = height;
  picture.palette.fill(0);
  picture.palette_entries = count;
  for (int i = 0; i < count && i < 256; ++i) {
    picture.palette[size_t(i * 3)] = entries[i].red;
    picture.palette[size_t(i * 3 + 1)] = entries[i].green;
    picture.palette[size_t(i * 3 + 2)] = entries[i].blue;
  }
  picture.indices.resize(size_t(width) * size_t(height));
  for (int y = 0; y < height; ++y)
    std::copy(rows[size_t(y)].begin(), rows[size_t(y)].begin() + width, picture.indices.begin() + ptrdiff_t(y) * width);
  return true;
}

bool write_body(png_structp png, png_infop info, FILE* file, const IndexedPicture& picture, png_color* entries,
                png_bytep* row_pointers) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(picture.width), png_uint_32(picture.height), 8, PNG_COLOR_TYPE_PALETTE,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_PLTE(png, info, entries, 256);
  png_set_compression_level(png, 9);
  png_write_info(png, info);
  png_write_image(png, row_pointers);
  png_write_end(png, nullptr);
  return true;
}

bool write_rgb_body(png_structp png, png_infop info, FILE* file, int width, int height, png_bytep* row_pointers) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, row_pointers);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

bool png_read_indexed(const std::string& path, IndexedPicture& picture, std::string& error) {
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    error = "cannot open the file";
    return false;
  }
  unsigned char signature[8];
  if (std::fread(signature, 1, 8, file.get()) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
    error = "not a PNG file";
    return false;
  }
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &error, on_png_error, on_png_warning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    error = "out of memory";
    return false;
  }
  Rows rows;
  bool ok = read_body(png, info, file.get(), rows, picture, error);
  png_destroy_read_struct(&png, &info, nullptr);
  return ok;
}

bool png_write_indexed(const std::string& path, const IndexedPicture& picture, std::string& error) {
  if (picture.width <= 0 || picture.height <= 0 || picture.indices.size() != size_t(picture.width) * size_t(picture.height)) {
    error = "picture has no pixels or a wrong pixel count";
    return false;
  }
  File file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    error = "cannot create the file";
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, on_png_error, on_png_warning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    error = "out of memory";
    return false;
  }
  std::vector<png_color> entries(256);
  for (int i = 0; i < 256; ++i)
    entries[size_t(i)] = {picture.palette[size_t(i * 3)], picture.palette[size_t(i * 3 + 1)], picture.palette[size_t(i * 3 + 2)]};
  std::vector<png_bytep> row_pointers;
  for (int y = 0; y < picture.height; ++y)
    row_pointers.push_back(const_cast<png_bytep>(picture.indices.data() + ptrdiff_t(y) * picture.width));
  bool ok = write_body(png, info, file.get(), picture, entries.data(), row_pointers.data());
  png_destroy_write_struct(&png, &info);
  if (ok && std::fflush(file.get()) != 0) {
    error = "write failed";
    ok = false;
  }
  return ok;
}

bool png_write_rgb(const std::string& path, int width, int height, const uint32_t* pixels, std::string& error) {
  File file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    error = "cannot create the file";
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, on_png_error, on_png_warning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    error = "out of memory";
    return false;
  }
  std::vector<uint8_t> bytes(size_t(width) * size_t(height) * 3);
  for (size_t i = 0; i < size_t(width) * size_t(height); ++i) {
    bytes[i * 3] = uint8_t(pixels[i] >> 16);
    bytes[i * 3 + 1] = uint8_t(pixels[i] >> 8);
    bytes[i * 3 + 2] = uint8_t(pixels[i]);
  }
  std::vector<png_bytep> row_pointers;
  for (int y = 0; y < height; ++y) row_pointers.push_back(bytes.data() + size_t(y) * size_t(width) * 3);
  bool ok = write_rgb_body(png, info, file.get(), width, height, row_pointers.data());
  png_destroy_write_struct(&png, &info);
  return ok;
}
