// Volume-column actions by high nibble, x being the low one. The slides 6x and
// 7x act on every tick of their row (the first included), 8x and 9x on the first
// only.
#include "xm/xm_volume_column.h"

#include "xm/xm_channel.h"

namespace {

using Action = void (*)(XmChannel&, uint8_t volume);
struct Entry {
  Action first_tick;
  Action later_ticks;
};

uint8_t x_of(uint8_t volume) { return volume & 0x0F; }

// Pan slides are not limited here (update_voice limits the final pan); this
// bound only keeps endless slides from overflowing.
int32_t bounded_pan(int32_t pan) { return pan < -32768 ? -32768 : (pan > 32767 ? 32767 : pan); }

void nothing(XmChannel&, uint8_t) {}

void set_volume(XmChannel& ch, uint8_t volume) {
  if (volume > 0x50) return;  // 51..5F: nothing
  ch.volume = volume - 16;
  ch.update_flags |= xm_update_volume;
}
void slide_down(XmChannel& ch, uint8_t volume) {
  ch.volume = ch.volume - x_of(volume) < 0 ? 0 : ch.volume - x_of(volume);
  ch.update_flags |= xm_update_volume;
}
void slide_up(XmChannel& ch, uint8_t volume) {
  ch.volume = ch.volume + x_of(volume) > 64 ? 64 : ch.volume + x_of(volume);
  ch.update_flags |= xm_update_volume;
}
void vibrato_speed(XmChannel& ch, uint8_t volume) { ch.vibrato_speed = x_of(volume); }
void vibrato_depth(XmChannel& ch, uint8_t volume) { ch.vibrato_depth = x_of(volume); }
void vibrato_later(XmChannel& ch, uint8_t volume) {
  ch.vibrato_depth = x_of(volume);
  xm_vibrato(ch);
  xm_advance_vibrato(ch);
}
void set_pan(XmChannel& ch, uint8_t volume) {
  ch.pan = x_of(volume) * 16;
  ch.update_flags |= xm_update_panning;
}
void pan_left(XmChannel& ch, uint8_t volume) {
  ch.pan = bounded_pan(ch.pan - x_of(volume));
  ch.update_flags |= xm_update_panning;
}
void pan_right(XmChannel& ch, uint8_t volume) {
  ch.pan = bounded_pan(ch.pan + x_of(volume));
  ch.update_flags |= xm_update_panning;
}
void porta_to_note(XmChannel& ch, uint8_t volume) {
  if (x_of(volume)) ch.porta_speed = uint8_t(x_of(volume) * 16);
  ch.update_flags &= uint8_t(~xm_update_trigger);
  ch.porta_target = ch.note_period;
}
void porta_later(XmChannel& ch, uint8_t) { xm_tone_portamento(ch); }

constexpr Entry volume_column[16] = {
    {nothing, nothing},              // 0x nothing
    {set_volume, nothing},           // 1x set volume 0..15
    {set_volume, nothing},           // 2x set volume 16..31
    {set_volume, nothing},           // 3x set volume 32..47
    {set_volume, nothing},           // 4x set volume 48..63
    {set_volume, nothing},           // 5x set volume 64 (50 only)
    {slide_down, slide_down},        // 6x volume slide down
    {slide_up, slide_up},            // 7x volume slide up
    {slide_down, nothing},           // 8x fine volume down
    {slide_up, nothing},             // 9x fine volume up
    {vibrato_speed, nothing},        // Ax vibrato speed
    {vibrato_depth, vibrato_later},  // Bx vibrato depth, and vibrato
    {set_pan, nothing},              // Cx set panning
    {pan_left, pan_left},            // Dx panning slide left
    {pan_right, pan_right},          // Ex panning slide right
    {porta_to_note, porta_later},    // Fx tone portamento
};

}  // namespace

void xm_volume_column_row(XmChannel& channel, uint8_t volume) { volume_column[volume >> 4].first_tick(channel, volume); }

void xm_volume_column_later(XmChannel& channel, uint8_t volume) {
  volume_column[volume >> 4].later_ticks(channel, volume);
}
