#include "song_watch.h"

#include "xm/xm_module.h"

namespace {

void silence(MixVoice& voice) {
  voice.volume = 0;
  voice.gain_a = 0;
  voice.gain_b = 0;
}

// A row start enters a new order position when the previous row asked for one
// (next_order): the pattern ran out, or a jump or a break. A pattern loop only
// goes back a few rows in the same position, which is not an end.
void after_tick(void* context, XmRenderer& renderer, int32_t frame) {
  SongWatch& w = *static_cast<SongWatch*>(context);
  const XmModule& m = *renderer.module;
  if (w.next_tick == 0 && w.pending_order >= 0 && !w.ended) {
    bool& played = w.played[m.order & 0xFF];
    if (played) {
      w.ended = true;
      w.end_frame = w.block_start + frame;
    }
    played = true;
    ++w.positions_played;
  }
  w.next_tick = m.tick;
  w.pending_order = m.next_order;
  // Both voices of a channel: a new note moves the channel to its partner.
  for (int c = 0; c < xm_voice_count / 2; ++c)
    if (w.muted >> c & 1) {
      silence(renderer.voices[c]);
      silence(renderer.voices[c + xm_voice_count / 2]);
    }
}

}  // namespace

void song_watch_attach(SongWatch& watch, XmRenderer& renderer) {
  renderer.tick_observer = after_tick;
  renderer.observer_context = &watch;
}
