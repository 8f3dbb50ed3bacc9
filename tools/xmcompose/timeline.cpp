// Timeline of a song as the replay engine sequences it.
#include "timeline.h"

#include <set>
#include <utility>

namespace xmc {

Timeline song_timeline(const Song& song) {
  Timeline t;
  const int length = static_cast<int>(song.orders.size());
  int speed = song.speed, bpm = song.tempo, order = 0, row = 0;
  std::set<std::pair<int, int>> seen;
  t.lowest_note = 255;
  while (!seen.count({order, row})) {
    seen.insert({order, row});
    const Pattern& p = song.patterns[song.orders[order]];
    int next_order = -1, next_row = -1, delay = 0;
    bool jumped = false, bar_row = false;
    for (int ch = 0; ch < song.channels; ++ch) {
      const Cell& c = p.cells[static_cast<size_t>(row) * song.channels + ch];
      if (c.note >= 1 && c.note <= 96) {
        ++t.note_count;
        t.lowest_note = std::min<int>(t.lowest_note, c.note);
        t.highest_note = std::max<int>(t.highest_note, c.note);
        if (c.note >= 46 && c.note <= 83) ++t.bar_notes, bar_row = true;
      }
      if (c.effect == 0xF && c.param) {
        if (c.param < 32) speed = c.param; else bpm = c.param;
      } else if (c.effect == 0xB) {
        next_row = 0, next_order = c.param >= length ? 0 : c.param, jumped = true;
      } else if (c.effect == 0xD) {
        int r = (c.param >> 4) * 10 + (c.param & 15);
        next_row = r > 63 ? 0 : r;
        if (!jumped) next_order = order + 1;
        if (next_order >= length) next_order = 0;
      } else if (c.effect == 0xE && (c.param >> 4) == 0xE) {
        delay = speed * (c.param & 15);
      }
    }
    t.bar_rows += bar_row;
    // the engine's tick length, in its own single-precision arithmetic
    int samples_per_tick = static_cast<int>(1000.0f / (bpm * 0.4f) * 44100 * 0.001f);
    t.seconds_to_loop += static_cast<double>(speed + delay) * samples_per_tick / 44100.0;
    ++t.rows_to_loop;
    if (next_row < 0) {
      next_row = row + 1;
      next_order = order;
      if (next_row >= p.rows) {
        next_row = 0;
        next_order = order + 1 >= length ? song.restart : order + 1;
      }
    }
    if (next_row >= song.patterns[song.orders[next_order]].rows) next_row = 0;
    order = next_order, row = next_row;
  }
  t.loop_order = order;
  if (t.note_count == 0) t.lowest_note = 0;
  return t;
}

}  // namespace xmc
