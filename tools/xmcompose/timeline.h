// Walks a song's orders the way the replay engine does (speed, tempo, pattern
// break, position jump, pattern delay) to tell how long it plays before it
// loops, and how often its notes reach the music bars (notes 46..83).
#pragma once
#include "score.h"

namespace xmc {

struct Timeline {
  double seconds_to_loop = 0;  // music heard before a row repeats
  int rows_to_loop = 0;
  int loop_order = 0;          // order position the song comes back to
  int note_count = 0;          // notes struck before the loop
  int bar_notes = 0;           // of them in 46..83
  int bar_rows = 0;            // rows with at least one such note
  int lowest_note = 0, highest_note = 0;
};

Timeline song_timeline(const Song& song);

}  // namespace xmc
