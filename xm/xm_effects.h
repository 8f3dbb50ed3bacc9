#pragma once
// The effect column: one entry per effect number with its first-tick and
// later-tick actions (xm_effects.cpp). Numbers without an entry do nothing.
#include <cstdint>

struct XmModule;
struct XmChannel;
struct XmCell;
struct XmSample;
struct XmInstrument;

struct EffectContext {
  XmModule& module;
  XmChannel& channel;
  const XmCell& cell;
  XmSample* sample;                 // the looked-up sample (may be the blank one)
  const XmInstrument& instrument;
  bool* jump_seen;                  // row start only: a B was seen on this row
  int32_t saved_period, saved_volume, saved_pan;  // row start only, for ED
};

void xm_effect_first_tick(EffectContext& context);
void xm_effect_later_tick(EffectContext& context);
