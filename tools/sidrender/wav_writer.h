#pragma once
// A 16-bit mono PCM WAV file written chunk by chunk; the sizes in the header are
// fixed up when it is closed.
#include <cstdint>
#include <cstdio>

struct WavWriter {
  FILE* file = nullptr;
  uint32_t rate = 44100;
  uint64_t samples = 0;
  bool failed = false;
};

bool wav_open(WavWriter& w, const char* path, uint32_t rate);
void wav_write(WavWriter& w, const int16_t* samples, uint32_t count);
// False if anything failed since the open.
bool wav_close(WavWriter& w);
