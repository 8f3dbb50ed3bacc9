#pragma once
// The XM player: load a module from bytes, play it through the platform's wave
// output from its own thread, follow what is being heard.
//
// Application level (main thread only): one current module at a time.
//   xm_load_current(bytes, size)  parse the bytes; the result becomes current
//   xm_play_current()             (re)start it from order 0, row 0
//   xm_stop_current()             silence; the module stays loaded
//   xm_free_current()             stop and release it
//   xm_current_channels()         its channel count (0 without a module)
//   xm_current_cell(channel)      note (low byte) and instrument (high byte) of the
//                                 channel's cell in the row being heard, 0 outside
//   xm_current_order/row/time()   where the music being heard stands
//
// What is heard lags what is rendered by the 2 s ring; the queries read the
// record of the block under the play cursor. Nothing here shows errors: a module
// that does not load or a device that does not open leaves the music silent.
#include <cstddef>
#include <cstdint>

#include "xm/xm_module.h"

struct XmFile;

// Loader (xm_load.cpp). xm_load reads through the registered file callbacks.
XmModule* xm_load(const char* name);
bool xm_parse(XmModule& module, XmFile* file);
// Frees the module's memory without touching the output; for modules that are
// not playing (tools, tests).
void xm_release(XmModule* module);
// Registers the memory callbacks and loads the bytes (not kept after loading).
XmModule* xm_load_from_memory(const uint8_t* data, size_t size);

// Player level (xm_output.cpp).
bool xm_play(XmModule* module);
bool xm_stop(XmModule* module);
bool xm_free(XmModule* module);   // waits for the renderer, stops, releases
uint8_t xm_audible_order(const XmModule* module);
uint8_t xm_audible_row(const XmModule* module);
uint32_t xm_audible_time(const XmModule* module);
bool xm_is_playing();

// Application level (xm_current.cpp).
bool xm_load_current(const uint8_t* data, int32_t length);
bool xm_play_current();
void xm_stop_current();
void xm_free_current();
int32_t xm_current_channels();
uint16_t xm_current_cell(int32_t channel);
uint8_t xm_current_order();
uint8_t xm_current_row();
uint32_t xm_current_time();
const XmModule* xm_current_module();

// The cell of a module at an order and row; 0 for anything outside the song.
uint16_t xm_cell_value(const XmModule& module, int32_t order, int32_t row, int32_t channel);
