#pragma once
// The replay engine: one tick at a time through the order table, interpreting
// notes, instruments, the volume column (xm_volume_column.cpp) and the effects
// (xm_effects.cpp), then running the channel operations of xm_channel.h and
// xm_update_voice.
#include <cstdint>

struct XmModule;
struct XmChannel;
struct MixVoice;

void xm_tick(XmModule& module);
void xm_set_bpm(XmModule& module, int32_t bpm);
void xm_process_row(XmModule& module);
void xm_process_tick(XmModule& module);

// Puts the module at order 0, row 0 with its default speed and tempo, clears
// its channels and gives channel i voice i of `voices` (64 entries).
void xm_reset_replay(XmModule& module, MixVoice* voices);
