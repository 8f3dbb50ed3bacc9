#pragma once
// The magazine's four XM modules, compiled into the program (assets/modules/).
// Their sources are the scores in src/; build/xmcompose remakes the files.
#include <cstdint>

struct EmbeddedModule {
  const uint8_t* bytes = nullptr;
  uint32_t size = 0;
};

// n = 1..4; any other n gives no bytes and size 0.
EmbeddedModule embedded_module(int n);
