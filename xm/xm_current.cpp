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

uint16_t xm_cell_value(const XmModule& module, int32_t order, int32_t row, int32_t channel) {
  if (channel < 0 || channel >= module.channel_count) return 0;
  if (order < 0 || order >= module.song_length) return 0;
  const XmPattern& pattern = xm_pattern_at_order(module, order);
  if (row < 0 || uint32_t(row) >= pattern.row_count) return 0;
  const XmCell& cell = pattern.cells[size_t(row) * size_t(module.channel_count) + size_t(channel)];
  return uint16_t(cell.note | cell.instrument << 8);
}

uint16_t xm_current_cell(int32_t channel) {
  if (!current) return 0;
  return xm_cell_value(*current, xm_audible_order(current), xm_audible_row(current), channel);
}

uint8_t xm_current_order() { return xm_audible_order(current); }
uint8_t xm_current_row() { return xm_audible_row(current); }
uint32_t xm_current_time() { return xm_audible_time(current); }
const XmModule* xm_current_module() { return current; }
