// pagefont BODY.psf[.gz] HEADING.psf[.gz] OUT.png [--preview SHEET.png]
//
// Builds the page font atlas (assets/pictures/page_font.png) from two 8 x 14
// console fonts with Unicode tables: 2048 x 28 intensities through a grey
// palette (entry 0 black), the body font in rows 0..13, the heading font in
// rows 14..27, the cell of CP437 code ch at column (ch - 32) x 9 + 1.
//
// The page draws 12 rows of each 14-row cell at a line pitch of 12, so glyphs
// move up into those rows (see glyph_pixels) and the vertical strokes of the
// box-drawing set still meet the next line. As on a VGA text screen the ninth
// column repeats the eighth for codes 192..223, so horizontal lines join
// across cells. The heading font is shaded: bright at the top, darker towards
// the baseline, with a dim edge to the lower right; the graphics characters
// stay flat so that they join.
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tools/common/tool_args.h"
#include "tools/issue/cp437.h"
#include "tools/issue/png_io.h"

namespace {

constexpr int atlas_width = 2048;
constexpr int atlas_height = 28;
constexpr int cell_width = 9;
constexpr int font_rows = 14;

struct ConsoleFont {
  int height = 0;
  std::vector<uint8_t> glyphs;            // height bytes per glyph, bit 7 leftmost
  std::map<char32_t, int> glyph_of;       // Unicode -> glyph
};

bool read_gz(const std::string& path, std::vector<uint8_t>& bytes) {
  gzFile in = gzopen(path.c_str(), "rb");
  if (!in) return false;
  uint8_t chunk[65536];
  int got;
  while ((got = gzread(in, chunk, sizeof chunk)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  bool ok = got == 0;
  gzclose(in);
  return ok;
}

// PSF version 1 with its Unicode table (mode bit 1).
bool read_psf1(const std::string& path, ConsoleFont& font, std::string& error) {
  std::vector<uint8_t> b;
  if (!read_gz(path, b)) {
    error = "cannot read " + path;
    return false;
  }
  if (b.size() < 4 || b[0] != 0x36 || b[1] != 0x04) {
    error = path + " is not a PSF1 console font";
    return false;
  }
  int mode = b[2];
  int count = (mode & 1) ? 512 : 256;
  font.height = b[3];
  size_t table = 4 + size_t(count) * size_t(font.height);
  if (!(mode & 2) || b.size() < table) {
    error = path + " has no Unicode table or is cut short";
    return false;
  }
  font.glyphs.assign(b.begin() + 4, b.begin() + ptrdiff_t(table));
  int glyph = 0;
  bool in_sequence = false;
  for (size_t i = table; i + 1 < b.size() && glyph < count; i += 2) {
    char32_t u = char32_t(b[i] | b[i + 1] << 8);
    if (u == 0xFFFF) {
      ++glyph;
      in_sequence = false;
    } else if (u == 0xFFFE) {
      in_sequence = true;
    } else if (!in_sequence) {
      font.glyph_of.emplace(u, glyph);
    }
  }
  return true;
}

bool is_graphics(int code) { return (code >= 176 && code <= 223) || code == 254; }

using Cell = std::array<std::array<uint8_t, cell_width>, font_rows>;

// Blocks and shades are drawn here rather than taken from the source, so that
// they fill the 9 x 12 cell exactly and tile without seams in the rows.
bool generated_glyph(int code, Cell& px) {
  for (int r = 0; r < 12; ++r)
    for (int i = 0; i < cell_width; ++i) {
      bool on;
      switch (code) {
        case 176: on = r % 2 == 0 ? i % 4 == 0 : i % 4 == 2; break;        // light shade
        case 177: on = (i + r) % 2 == 0; break;                             // medium shade
        case 178: on = !(r % 2 == 0 ? i % 4 == 2 : i % 4 == 0); break;     // dark shade
        case 219: on = true; break;                                         // full block
        case 220: on = r >= 6; break;                                       // lower half
        case 221: on = i < 4; break;                                        // left half
        case 222: on = i >= 4; break;                                       // right half (with the ninth column)
        case 223: on = r < 6; break;                                        // upper half
        default: return false;
      }
      px[size_t(r)][size_t(i)] = on;
    }
  return true;
}

// The source glyph placed in the 12 drawn rows. Letters drop their two empty top
// rows, so capitals stand on row 9 and descenders end on row 11; an accented
// capital, which reaches higher, loses repeated rows of its body instead of its
// accent. Graphics characters drop one row, which centres their lines.
bool glyph_pixels(const ConsoleFont& font, int code, Cell& px) {
  for (auto& row : px) row.fill(0);
  if (generated_glyph(code, px)) return true;
  auto it = font.glyph_of.find(cp437_to_unicode(uint8_t(code)));
  if (it == font.glyph_of.end()) return false;
  const uint8_t* g = &font.glyphs[size_t(it->second) * size_t(font.height)];
  std::vector<uint8_t> rows(g, g + font.height);
  int drop = is_graphics(code) ? 1 : 2;
  int top = 0;
  while (top < drop && rows[size_t(top)] == 0) ++top;
  rows.erase(rows.begin(), rows.begin() + top);
  for (int excess = drop - top; excess > 0; --excess) {
    size_t j = 0;
    while (j + 1 < 10 && !(rows[j] == rows[j + 1] && (rows[j] == 0 || j > 1))) ++j;
    rows.erase(rows.begin() + ptrdiff_t(j + 1 < 10 ? j : 0));
  }
  for (int r = 0; r < font_rows && r < int(rows.size()); ++r) {
    for (int i = 0; i < 8; ++i) px[size_t(r)][size_t(i)] = (rows[size_t(r)] >> (7 - i)) & 1;
    if (code >= 192 && code <= 223) px[size_t(r)][8] = px[size_t(r)][7];
  }
  return true;
}

void put_body(const Cell& px, std::vector<uint8_t>& atlas, int x0,
              int y0) {
  for (int r = 0; r < font_rows; ++r)
    for (int i = 0; i < cell_width; ++i)
      if (px[size_t(r)][size_t(i)]) atlas[size_t((y0 + r) * atlas_width + x0 + i)] = 255;
}

void put_heading(const Cell& px, std::vector<uint8_t>& atlas, int x0,
                 int y0, bool flat) {
  for (int r = 0; r < font_rows; ++r)
    for (int i = 0; i < cell_width; ++i) {
      uint8_t& out = atlas[size_t((y0 + r) * atlas_width + x0 + i)];
      if (px[size_t(r)][size_t(i)]) {
        // Top rows full, the baseline (row 9) at about two thirds.
        int shade = flat ? 255 : std::max(150, 255 - std::max(0, r - 2) * 14);
        out = uint8_t(shade);
      } else if (!flat && i > 0 && r > 0 && px[size_t(r - 1)][size_t(i - 1)]) {
        out = 70;
      }
    }
}

}  // namespace

int main(int argc, char** argv) {
  const char* const program = "pagefont";
  if (args_want_help(argc, argv)) {
    std::printf("usage: pagefont BODY.psf.gz HEADING.psf.gz OUT.png [--preview SHEET.png]\n"
                "Builds the 2048 x 28 page font atlas from two 8 x 14 PSF1 console fonts\n"
                "(e.g. /usr/share/consolefonts/Uni2-Terminus14.psf.gz and Uni2-TerminusBold14.psf.gz).\n"
                "--preview also writes a 16 x 14 character sheet of both fonts, scaled 3x.\n");
    return exit_ok;
  }
  ToolArgs args{program, argc, argv};
  std::string sheet_path;
  std::vector<std::string> paths;
  while (args_next(args)) {
    if (args_is(args, "--preview")) sheet_path = args_text(args);
    else if (args_is_option(args)) return args_unknown(args);
    else paths.push_back(args.current);
  }
  if (args.failed) return exit_usage;
  if (paths.size() != 3) return tool_usage_error(program, "expected BODY.psf HEADING.psf OUT.png [--preview SHEET.png]");
  const std::string& out_path = paths[2];
  ConsoleFont fonts[2];
  std::string error;
  for (int f = 0; f < 2; ++f) {
    if (!read_psf1(paths[size_t(f)], fonts[f], error)) return tool_error(program, error);
    if (fonts[f].height != font_rows)
      return tool_error(program, paths[size_t(f)] + " is " + std::to_string(fonts[f].height) + " rows high, not 14");
  }
  IndexedPicture atlas;
  atlas.width = atlas_width;
  atlas.height = atlas_height;
  atlas.indices.assign(size_t(atlas_width * atlas_height), 0);
  for (int i = 0; i < 256; ++i) atlas.palette[size_t(i * 3)] = atlas.palette[size_t(i * 3 + 1)] = atlas.palette[size_t(i * 3 + 2)] = uint8_t(i);
  atlas.palette_entries = 256;
  int missing = 0;
  for (int code = 32; code < 256; ++code) {
    int x0 = (code - 32) * cell_width + 1;
    Cell px;
    if (glyph_pixels(fonts[0], code, px)) put_body(px, atlas.indices, x0, 0);
    else ++missing;
    if (glyph_pixels(fonts[1], code, px)) put_heading(px, atlas.indices, x0, font_rows, is_graphics(code));
    else ++missing;
  }
  if (missing) std::fprintf(stderr, "pagefont: %d cells have no glyph in the source fonts and stay blank\n", missing);
  if (!png_write_indexed(out_path, atlas, error)) return tool_error(program, out_path + ": " + error);
  if (!sheet_path.empty()) {
    constexpr int scale = 3;
    IndexedPicture sheet;
    sheet.width = 16 * cell_width * scale * 2 + 8;
    sheet.height = 14 * 12 * scale;
    sheet.indices.assign(size_t(sheet.width * sheet.height), 40);
    sheet.palette = atlas.palette;
    for (int code = 32; code < 256; ++code) {
      int col = (code - 32) % 16, row = (code - 32) / 16;
      for (int f = 0; f < 2; ++f)
        for (int r = 0; r < 12; ++r)
          for (int i = 0; i < cell_width; ++i) {
            uint8_t v = atlas.indices[size_t((r + f * font_rows) * atlas_width + (code - 32) * cell_width + 1 + i)];
            for (int sy = 0; sy < scale; ++sy)
              for (int sx = 0; sx < scale; ++sx) {
                int x = f * (16 * cell_width * scale + 8) + (col * cell_width + i) * scale + sx;
                int y = (row * 12 + r) * scale + sy;
                sheet.indices[size_t(y * sheet.width + x)] = v ? v : 0;
              }
          }
    }
    if (!png_write_indexed(sheet_path, sheet, error)) return tool_error(program, sheet_path + ": " + error);
  }
  return exit_ok;
}
