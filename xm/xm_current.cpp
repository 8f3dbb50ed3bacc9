// The application's music: one current module loaded from bytes held in the
// program, started, stopped and followed by the magazine's controls and bars.
#include "xm/xm_file.h"
#include "xm/xm_player.h"

namespace {

XmModule* current = nullptr;

}  // namespace

bool xm_load_current(const uint8_t* data, int32_t length) {
  // At most one module: a current one still loaded is released, not leaked.
  xm_free_current();
  current = xm_load_from_memory(data, length > 0 ? size_t(length) : 0);
  return current != nullptr;
}

bool xm_play_current() { return xm_play(current); }
void xm_stop_current() { xm_stop(current); }

void xm_free_current() {
  xm_free(current);
  current = nullptr;
}

int32_t xm_current_channels() { return current ? current->channel_count : 0; }

uint16_t xm_current_cell(int32_t channel) {
  if (!current) return 0;
  return xm_cell_value(*current, xm_audible_order(current), xm_audible_row(current), channel);
}

uint8_t xm_current_order() { return xm_audible_order(current); }
uint8_t xm_current_row() { return xm_audible_row(current); }
uint32_t xm_current_time() { return xm_audible_time(current); }
const XmModule* xm_current_module() { return current; }
