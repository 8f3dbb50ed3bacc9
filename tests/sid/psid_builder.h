#pragma once
// Builds PSID v2 files in memory for the tests: a 124-byte header with the
// given entry points, then the little-endian load address and the code.
#include <cstdint>
#include <vector>

inline std::vector<uint8_t> make_psid(uint16_t load, uint16_t init, uint16_t play, std::vector<uint8_t> code) {
  std::vector<uint8_t> f(0x7C, 0);
  f[0] = 'P'; f[1] = 'S'; f[2] = 'I'; f[3] = 'D';
  f[5] = 2;
  f[7] = 0x7C;
  f[10] = uint8_t(init >> 8); f[11] = uint8_t(init);
  f[12] = uint8_t(play >> 8); f[13] = uint8_t(play);
  f[15] = 1; f[17] = 1;
  f.push_back(uint8_t(load));
  f.push_back(uint8_t(load >> 8));
  f.insert(f.end(), code.begin(), code.end());
  return f;
}
