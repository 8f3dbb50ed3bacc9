#pragma once
// Follows a song tick by tick through the renderer's tick observer: finds where
// it ends (the first row start that enters an order position already played, by
// the order sequence wrapping or jumping back) and keeps muted channels silent.
//
//   SongWatch watch;
//   watch.muted = channels;           // bit c silences channel c (from 0)
//   song_watch_attach(watch, renderer);
//   watch.block_start = frames so far; xm_fill_block(renderer); ... watch.ended
#include <cstdint>

#include "xm/xm_mixer.h"

struct SongWatch {
  uint32_t muted = 0;
  int64_t block_start = 0;     // frames rendered before the block xm_fill_block renders now
  bool ended = false;
  int64_t end_frame = 0;       // first frame of the repeat, counted from the start
  int32_t positions_played = 0;
  bool played[256] = {};
  int32_t next_tick = 0;       // the tick the renderer processes next
  int32_t pending_order = 0;   // order position the next row start enters, -1 none
};

void song_watch_attach(SongWatch& watch, XmRenderer& renderer);
