// Music bars: levels raised by the notes heard, lowered every frame, drawn as
// 11-pixel columns coloured by row.
#include "app/music_bars.h"

#include <cmath>

namespace {

constexpr int first_colour_row = 133;
constexpr int highest_level = music_bar_floor - 16;  // 131
constexpr int bars_left = 157;

// Rows 133..148 of the two skins' colour tables.
constexpr uint32_t warm_rows[16] = {0x000000, 0x000000, 0xEEBB33, 0xDDAA33, 0xCC9933, 0xBB8833,
                                    0xAA7733, 0x996622, 0x885522, 0x774422, 0x663322, 0x552211,
                                    0x441111, 0x331111, 0x221111, 0x221111};
constexpr uint32_t cold_rows[16] = {0x000000, 0x000000, 0x33BBEE, 0x33AADD, 0x3399CC, 0x3388BB,
                                    0x3377AA, 0x226699, 0x225588, 0x224477, 0x223366, 0x221155,
                                    0x111144, 0x111133, 0x111122, 0x111122};

}  // namespace

uint32_t bar_colour(int32_t skin, int32_t row) {
  int index = row - first_colour_row;
  if (index < 0 || index >= 16) return 0;
  return skin == 1 ? warm_rows[index] : cold_rows[index];
}

void reset_bars(MusicBars& bars) {
  for (double& level : bars.levels) level = music_bar_floor;
}

void excite_bars(MusicBars& bars, int32_t channels, const uint16_t* cells) {
  for (int32_t ch = 0; ch < channels; ++ch) {
    int b = int(cells[ch] & 0xFF) - 45;
    if (b > 0 && b < 39) {
      bars.levels[b] -= 4;
      bars.levels[b - 1] -= 3;
      bars.levels[b + 1] -= 3;
    }
  }
}

void draw_bars(MusicBars& bars, FrameBuffer& frame, int32_t skin) {
  int offset = skin == 1 ? 0 : 2;
  for (int i = 0; i < music_bar_count; ++i) {
    double& level = bars.levels[i];
    if (level < highest_level) level = highest_level;
    if (level <= music_bar_floor) level += 2;
    int x0 = bars_left + music_bar_width * i + 1;
    for (int r = int(std::floor(level)); r <= music_bar_floor; ++r) {
      uint32_t colour = bar_colour(skin, r);
      uint32_t* row = frame.row(r + offset);
      for (int x = x0; x < x0 + 11; ++x) row[x] = colour;
    }
  }
}

void update_bars(MusicBars& bars, FrameBuffer& frame, int32_t skin, int32_t channels, const uint16_t* cells) {
  excite_bars(bars, channels, cells);
  draw_bars(bars, frame, skin);
}
