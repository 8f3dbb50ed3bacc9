#pragma once
// The four background modules, compiled into the program (module 1 plays
// first). Each is the bytes of an XM file.
#include <cstddef>
#include <cstdint>

struct EmbeddedModule {
  const uint8_t* data;
  size_t size;
};

// n = 1..4; anything else gives no bytes.
EmbeddedModule embedded_module(int n);
