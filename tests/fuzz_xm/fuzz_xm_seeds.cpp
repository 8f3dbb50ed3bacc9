// Writes the seed corpus of fuzz_xm: small modules of our own that between them
// use every effect, both volume-column kinds, envelopes with sustain and loops,
// all loop kinds, 8- and 16-bit samples, both frequency tables and 32 channels.
//   fuzz_xm_seeds DIR
#include <cstdio>
#include <string>

#include "tests/xm/effect_songs.h"

using namespace xmw;

namespace {

Song effects_song(int channels, uint16_t flags, int salt) {
  Song song;
  song.channels = uint16_t(channels);
  song.flags = flags;
  song.orders = {0, 1, 0};
  song.restart = 1;
  song.speed = 3;
  for (int p = 0; p < 2; ++p) {
    Pattern pattern;
    pattern.rows = uint16_t(p ? 16 : 32);
    for (int r = 0; r < pattern.rows; ++r)
      for (int c = 0; c < channels; ++c) {
        int k = r * 7 + c * 13 + p * 5 + salt;
        at(pattern, channels, r, c) = {uint8_t(k % 5 == 0 ? 97 : 30 + k % 50), uint8_t(1 + k % 3),
                                       uint8_t((k * 11) % 0x100), uint8_t(k % 0x22), uint8_t(k * 29)};
      }
    song.patterns.push_back(pattern);
  }
  song.instruments = effect_instruments();
  return song;
}

bool save(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_xm_seeds DIR\n");
    return 1;
  }
  std::string dir = argv[1];
  bool ok = true;
  ok &= save(dir + "/effects_linear.xm", write(effects_song(4, 1, 0)));
  ok &= save(dir + "/effects_amiga.xm", write(effects_song(6, 0, 3)));
  ok &= save(dir + "/channels32.xm", write(effects_song(32, 1, 7)));
  Song tiny = effects_song(1, 1, 1);
  tiny.patterns[1].store_empty = true;
  tiny.orders = {0, 1, 4};
  ok &= save(dir + "/tiny_missing_pattern.xm", write(tiny));
  if (!ok) {
    std::fprintf(stderr, "fuzz_xm_seeds: cannot write into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
