#pragma once
// The intro's twelve PSID tunes, compiled into the program (assets/tunes/).
#include <cstdint>

struct EmbeddedTune {
  const uint8_t* bytes = nullptr;
  uint32_t size = 0;
};

// n = 1..12; any other n gives no bytes and size 0.
EmbeddedTune embedded_tune(int n);
