#pragma once
// The volume column: one entry per high nibble of the byte, each with its
// action on the first tick of a row and on the later ticks (xm_volume_column.cpp).
#include <cstdint>

struct XmChannel;

void xm_volume_column_row(XmChannel& channel, uint8_t volume);
void xm_volume_column_later(XmChannel& channel, uint8_t volume);
