// The application's music: one current module loaded from bytes held in the
// program, started, stopped and followed by the magazine's controls and bars.
#include "xm/xm_file.h"
#include "xm/xm_player.h"

bool xm_load_current(XmPlayer& p, const uint8_t* data, int32_t length) {
  // At most one module: a current one still loaded is released, not leaked.
  xm_free_current(p);
  p.memory_source = {data, length > 0 && data ? size_t(length) : 0};
  xm_set_file_callbacks(p.file_callbacks, &p.memory_source, xm_memory_open, xm_memory_close, xm_memory_read,
                        xm_memory_seek, xm_memory_tell);
  p.current = xm_load(p.file_callbacks, nullptr);
  return p.current != nullptr;
}

bool xm_play_current(XmPlayer& p) { return xm_play(p, p.current); }
void xm_stop_current(XmPlayer& p) { xm_stop(p, p.current); }

void xm_free_current(XmPlayer& p) {
  xm_free(p, p.current);
  p.current = nullptr;
}

int32_t xm_current_channels(const XmPlayer& p) { return p.current ? p.current->channel_count : 0; }

// One read of the heard record: order and row of the same block.
uint16_t xm_current_cell(const XmPlayer& p, int32_t channel) {
  if (!p.current) return 0;
  BlockRecord heard = xm_audible_record(p);
  return xm_cell_value(*p.current, heard.order, heard.row, channel);
}

uint8_t xm_current_order(const XmPlayer& p) { return xm_audible_order(p, p.current); }
uint8_t xm_current_row(const XmPlayer& p) { return xm_audible_row(p, p.current); }
uint32_t xm_current_time(const XmPlayer& p) { return xm_audible_time(p, p.current); }
const XmModule* xm_current_module(const XmPlayer& p) { return p.current; }
