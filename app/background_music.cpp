// Glue between the magazine's music controls and the XM player.
#include "app/background_music.h"

#include "assets/modules/embedded_modules.h"
#include "xm/xm_player.h"

int32_t music_channels = 0;
MusicBars background_bars;

void play_module(int32_t n) {
  xm_stop_current();
  xm_free_current();
  EmbeddedModule bytes = embedded_module(n);
  if (xm_load_current(bytes.data, int32_t(bytes.size))) xm_play_current();
  music_channels = xm_current_channels();
}

void play_module_1() { play_module(1); }
void play_module_2() { play_module(2); }
void play_module_3() { play_module(3); }
void play_module_4() { play_module(4); }

namespace {

void music_on() { xm_play_current(); }
void bars_of_the_music(FrameBuffer& frame, int32_t skin) {
  update_bars(background_bars, frame, skin, music_channels, xm_current_cell);
}

}  // namespace

MusicCalls background_music_calls() {
  MusicCalls calls;
  calls.stop_current = xm_stop_current;
  calls.play_current = music_on;
  calls.play_module = play_module;
  calls.update_bars = bars_of_the_music;
  return calls;
}
