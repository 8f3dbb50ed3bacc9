// Glue between the magazine's music controls and the XM player.
#include "app/background_music.h"

#include "assets/modules/embedded_modules.h"

void play_module(BackgroundMusic& music, int32_t n) {
  xm_stop_current(music.player);
  xm_free_current(music.player);
  EmbeddedModule bytes = embedded_module(n);
  if (xm_load_current(music.player, bytes.data, int32_t(bytes.size))) xm_play_current(music.player);
  music.music_channels = xm_current_channels(music.player);
}

void play_module_1(BackgroundMusic& music) { play_module(music, 1); }
void play_module_2(BackgroundMusic& music) { play_module(music, 2); }
void play_module_3(BackgroundMusic& music) { play_module(music, 3); }
void play_module_4(BackgroundMusic& music) { play_module(music, 4); }

void update_music_bars(BackgroundMusic& music, FrameBuffer& frame, int32_t skin) {
  uint16_t cells[xm_max_channels] = {};
  int32_t channels = music.music_channels < xm_max_channels ? music.music_channels : xm_max_channels;
  const XmModule* module = xm_current_module(music.player);
  // Only notes being heard move the bars (a device that failed plays none), and
  // one record serves the whole frame, so every bar hears the same row.
  if (module && xm_is_playing(music.player)) {
    BlockRecord heard = xm_audible_record(music.player);
    for (int32_t c = 0; c < channels; ++c) cells[c] = xm_cell_value(*module, heard.order, heard.row, c);
  }
  update_bars(music.bars, frame, skin, channels, cells);
}

namespace {

BackgroundMusic& music_of(void* context) { return *static_cast<BackgroundMusic*>(context); }

void music_off(void* context) { xm_stop_current(music_of(context).player); }
void music_on(void* context) { xm_play_current(music_of(context).player); }
void module_button(void* context, int32_t n) { play_module(music_of(context), n); }
void bars(void* context, FrameBuffer& frame, int32_t skin) { update_music_bars(music_of(context), frame, skin); }

}  // namespace

MusicCalls background_music_calls(BackgroundMusic& music) {
  MusicCalls calls;
  calls.context = &music;
  calls.stop_current = music_off;
  calls.play_current = music_on;
  calls.play_module = module_button;
  calls.update_bars = bars;
  return calls;
}
