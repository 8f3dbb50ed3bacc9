// Glue between the magazine's music controls and the XM player.
#include "app/background_music.h"

#include "assets/modules/embedded_modules.h"
#include "xm/xm_player.h"

int32_t music_channels = 0;

bool play_module(int n) {
  xm_stop_current();
  xm_free_current();
  EmbeddedModule bytes = embedded_module(n);
  bool playing = xm_load_current(bytes.data, int32_t(bytes.size)) && xm_play_current();
  music_channels = xm_current_channels();
  return playing;
}

void play_module_1() { play_module(1); }
void play_module_2() { play_module(2); }
void play_module_3() { play_module(3); }
void play_module_4() { play_module(4); }
