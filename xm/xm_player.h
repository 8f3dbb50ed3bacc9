#pragma once
// The XM player: load a module from bytes, play it through the platform's wave
// output from its own thread, follow what is being heard. Its state is one
// XmPlayer the program owns and passes to every call.
//
// Application level (main thread only): one current module at a time.
//   xm_load_current(player, bytes, size)  parse the bytes; the result becomes current
//   xm_play_current(player)               (re)start it from order 0, row 0
//   xm_stop_current(player)               silence; the module stays loaded
//   xm_free_current(player)               stop and release it
//   xm_current_channels(player)           its channel count (0 without a module)
//   xm_current_cell(player, channel)      note (low byte) and instrument (high byte) of the
//                                         channel's cell in the row being heard, 0 outside
//   xm_current_order/row/time(player)     where the music being heard stands
//
// What is heard lags what is rendered by the 2 s ring; the queries read the
// record of the block under the play cursor, one atomic read each. A display
// that needs several answers for one frame reads xm_audible_record once and
// takes order, row and time from it. Nothing here shows errors: a module that
// does not load or a device that fails leaves the music silent.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/wave_out.h"
#include "xm/xm_file.h"
#include "xm/xm_mixer.h"
#include "xm/xm_module.h"

struct PlatformThread;

static_assert(std::atomic<BlockRecord>::is_always_lock_free, "the heard record is handed over as one word");

struct XmPlayer {
  // Output: the device loops over the renderer's ring, the output thread
  // re-renders what the play cursor has just played (xm_output.cpp).
  XmRenderer renderer;
  WaveDevice* device = nullptr;
  WaveHeader* header = nullptr;       // the ring's header; the device holds on to it while queued
  PlatformThread* thread = nullptr;   // the output thread while it runs
  std::atomic<bool> stop_request{false};
  std::atomic<BlockRecord> heard{};   // record of the block under the play cursor
  uint32_t last_position_bytes = 0;   // output thread only
  uint64_t played_bytes = 0;          // output thread only
  bool ring_silenced = false;         // output thread only: the cursor was lost
  // A device that would neither stop nor close, with the ring (silenced) and the
  // header it may still read; no other device opens until it lets go.
  WaveDevice* stuck_device = nullptr;
  WaveHeader* stuck_header = nullptr;
  int16_t* stuck_ring = nullptr;

  // Application level (xm_current.cpp): what xm_load_current reads through and loaded.
  FileCallbacks file_callbacks;
  MemorySource memory_source;
  XmModule* current = nullptr;
};

// Loader (xm_load.cpp). xm_load reads through the callbacks given.
XmModule* xm_load(const FileCallbacks& callbacks, const char* name);
bool xm_parse(XmModule& module, XmFile* file);
// Frees the module's memory without touching the output; for modules that are
// not playing (tools, tests).
void xm_release(XmModule* module);
// Loads bytes held in memory (not kept after loading) through memory callbacks of its own.
XmModule* xm_load_from_memory(const uint8_t* data, size_t size);

// Player level (xm_output.cpp).
bool xm_play(XmPlayer& player, XmModule* module);
bool xm_stop(XmPlayer& player, XmModule* module);
bool xm_free(XmPlayer& player, XmModule* module);  // stops the output, then releases the module
BlockRecord xm_audible_record(const XmPlayer& player);
uint8_t xm_audible_order(const XmPlayer& player, const XmModule* module);
uint8_t xm_audible_row(const XmPlayer& player, const XmModule* module);
uint32_t xm_audible_time(const XmPlayer& player, const XmModule* module);
bool xm_is_playing(const XmPlayer& player);

// Application level (xm_current.cpp).
bool xm_load_current(XmPlayer& player, const uint8_t* data, int32_t length);
bool xm_play_current(XmPlayer& player);
void xm_stop_current(XmPlayer& player);
void xm_free_current(XmPlayer& player);
int32_t xm_current_channels(const XmPlayer& player);
uint16_t xm_current_cell(const XmPlayer& player, int32_t channel);
uint8_t xm_current_order(const XmPlayer& player);
uint8_t xm_current_row(const XmPlayer& player);
uint32_t xm_current_time(const XmPlayer& player);
const XmModule* xm_current_module(const XmPlayer& player);

// The cell of a module at an order and row; 0 for anything outside the song.
uint16_t xm_cell_value(const XmModule& module, int32_t order, int32_t row, int32_t channel);
