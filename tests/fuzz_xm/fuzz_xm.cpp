// libFuzzer target: any bytes through the loader, then a few blocks through the
// replay engine and the mixer, and every cell query the music bars could make.
#include <cstddef>
#include <cstdint>

#include "xm/xm_mixer.h"
#include "xm/xm_player.h"
#include "xm/xm_replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  XmModule* module = xm_load_from_memory(data, size);
  if (!module) return 0;
  static XmRenderer* renderer = new XmRenderer();
  if (xm_renderer_start(*renderer, *module)) {
    for (int i = 0; i < 6; ++i) xm_fill_block(*renderer);
    // Further on in the song without mixing: sequencing and effects only.
    for (int i = 0; i < 400; ++i) module->tick_function(*module);
    xm_fill_block(*renderer);
    for (int i = 0; i < 6; ++i) {
      BlockRecord r = renderer->records[i];
      for (int c = -1; c <= module->channel_count; ++c) xm_cell_value(*module, r.order, r.row, c);
    }
  }
  xm_release(module);
  return 0;
}
