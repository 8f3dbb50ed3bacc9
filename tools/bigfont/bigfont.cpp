// bigfont: renders the intro's large font, 59 glyphs (codes 32..90) of 32 x 32
// pixels side by side in a 1888 x 32 palettised PNG (index 0 black: not set,
// index 1 white: set). Each glyph is rendered from a TrueType font with FreeType,
// widened a little for the demo look, thresholded to crisp pixels and centred in
// its cell with a one-pixel border free for the emboss passes.
#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/common/tool_args.h"

namespace {

constexpr int cell = 32;
constexpr int glyph_count = 59;
constexpr int atlas_width = cell * glyph_count;
constexpr int baseline = 28;        // row under the capitals
constexpr int cap_height = 25;      // rows 3..27
constexpr double widen = 1.18;
constexpr int threshold = 112;

const char* usage =
    "usage: bigfont FONT.ttf OUT.png\n"
    "Renders codes 32..90 of FONT into the intro's 1888 x 32 large-font atlas.\n";

bool write_png(const char* path, const std::vector<uint8_t>& pixels) {
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, atlas_width, cell, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color palette[2] = {{0, 0, 0}, {255, 255, 255}};
  png_set_PLTE(png, info, palette, 2);
  png_write_info(png, info);
  for (int y = 0; y < cell; ++y) png_write_row(png, pixels.data() + size_t(y) * atlas_width);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* const program = "bigfont";
  if (args_want_help(argc, argv)) {
    std::fputs(usage, stdout);
    return exit_ok;
  }
  ToolArgs args{program, argc, argv};
  std::vector<std::string> paths;
  while (args_next(args)) {
    if (args_is_option(args)) return args_unknown(args);
    paths.push_back(args.current);
  }
  if (paths.size() != 2) return tool_usage_error(program, "expected FONT.ttf OUT.png");
  const std::string &font_path = paths[0], &out_path = paths[1];
  FT_Library library;
  if (FT_Init_FreeType(&library)) return tool_error(program, "cannot start FreeType");
  FT_Face face;
  if (FT_New_Face(library, font_path.c_str(), 0, &face)) {
    FT_Done_FreeType(library);
    return tool_error(program, "cannot read font " + font_path);
  }
  // Size the font so that a capital H is cap_height pixels tall.
  int size = 20;
  for (; size < 80; ++size) {
    FT_Set_Pixel_Sizes(face, 0, size);
    FT_Load_Char(face, 'H', FT_LOAD_RENDER);
    if (int(face->glyph->bitmap.rows) >= cap_height) break;
  }
  std::vector<uint8_t> atlas(size_t(atlas_width) * cell, 0);
  for (int code = 33; code <= 90; ++code) {
    if (FT_Load_Char(face, FT_ULong(code), FT_LOAD_RENDER)) {
      FT_Done_Face(face);
      FT_Done_FreeType(library);
      return tool_error(program, font_path + " has no glyph for '" + char(code) + "'");
    }
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    int width = int(std::lround(bitmap.width * widen));
    width = std::min(width, cell - 4);
    int left = (code - 32) * cell + (cell - width) / 2;
    int top = baseline - face->glyph->bitmap_top;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      int y = top + int(row);
      if (y < 1 || y > cell - 2) continue;
      for (int column = 0; column < width; ++column) {
        // Sample the source column under the centre of this widened pixel.
        double source = (column + 0.5) * double(bitmap.width) / width - 0.5;
        int s0 = std::clamp(int(std::floor(source)), 0, int(bitmap.width) - 1);
        int s1 = std::min(s0 + 1, int(bitmap.width) - 1);
        double t = std::clamp(source - s0, 0.0, 1.0);
        const uint8_t* line = bitmap.buffer + row * size_t(bitmap.pitch);
        double value = line[s0] * (1 - t) + line[s1] * t;
        if (value >= threshold) atlas[size_t(y) * atlas_width + left + column] = 1;
      }
    }
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  if (!write_png(out_path.c_str(), atlas)) return tool_error(program, "cannot write " + out_path);
  return exit_ok;
}
