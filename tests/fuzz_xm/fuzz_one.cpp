#include "tests/fuzz_xm/fuzz_one.h"

#include <memory>

#include "xm/xm_mixer.h"
#include "xm/xm_player.h"
#include "xm/xm_replay.h"

void xm_fuzz_one(const uint8_t* data, size_t size) {
  XmModule* module = xm_load_from_memory(data, size);
  if (!module) return;
  auto renderer = std::make_unique<XmRenderer>();
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
  xm_renderer_release(*renderer);
  xm_release(module);
}
