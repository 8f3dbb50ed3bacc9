#pragma once
// One fuzz input: any bytes through the XM loader, then a few blocks through the
// replay engine and the mixer, more ticks of sequencing alone, one more block,
// and every cell query the music bars could make.
#include <cstddef>
#include <cstdint>

void xm_fuzz_one(const uint8_t* data, size_t size);
