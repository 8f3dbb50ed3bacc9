#pragma once
// A 16-bit PCM WAV file (mono or stereo, interleaved) written chunk by chunk;
// the sizes in the header are fixed up when it is closed. The renderers and the
// virtual backend's recording write their sound with it.
#include <cstdint>
#include <cstdio>

struct WavWriter {
  FILE* file = nullptr;
  uint32_t rate = 44100;
  uint16_t channels = 1;
  uint64_t samples = 0;   // single values, all channels counted
  bool failed = false;
};

bool wav_open(WavWriter& w, const char* path, uint32_t rate, uint16_t channels = 1);
// `count` single values (frames x channels).
void wav_write(WavWriter& w, const int16_t* samples, uint32_t count);
// False if anything failed since the open.
bool wav_close(WavWriter& w);
