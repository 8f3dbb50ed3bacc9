// RIFF/WAVE, format tag 1 (PCM), 16 bits, little-endian.
#include "platform/wav_writer.h"

namespace {

void put16(uint8_t* p, uint32_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
void put32(uint8_t* p, uint32_t v) { put16(p, v & 0xFFFF); put16(p + 2, v >> 16); }

void header(uint8_t* h, uint32_t rate, uint16_t channels, uint32_t data_bytes) {
  const uint8_t fixed[12] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  for (int i = 0; i < 12; ++i) h[i] = fixed[i];
  put32(h + 4, 36 + data_bytes);
  h[12] = 'f'; h[13] = 'm'; h[14] = 't'; h[15] = ' ';
  put32(h + 16, 16);
  put16(h + 20, 1);          // PCM
  put16(h + 22, channels);
  put32(h + 24, rate);
  put32(h + 28, rate * 2 * channels);   // bytes per second
  put16(h + 32, 2 * channels);          // block align
  put16(h + 34, 16);
  h[36] = 'd'; h[37] = 'a'; h[38] = 't'; h[39] = 'a';
  put32(h + 40, data_bytes);
}

}  // namespace

bool wav_open(WavWriter& w, const char* path, uint32_t rate, uint16_t channels) {
  w = WavWriter{};
  w.rate = rate;
  w.channels = channels;
  w.file = std::fopen(path, "wb");
  if (!w.file) return false;
  uint8_t h[44];
  header(h, rate, channels, 0);
  w.failed = std::fwrite(h, 1, sizeof h, w.file) != sizeof h;
  return true;
}

void wav_write(WavWriter& w, const int16_t* samples, uint32_t count) {
  uint8_t bytes[2 * 1024];
  while (count > 0 && !w.failed) {
    const uint32_t n = count < 1024 ? count : 1024;
    for (uint32_t i = 0; i < n; ++i) put16(bytes + 2 * i, uint16_t(samples[i]));
    w.failed = std::fwrite(bytes, 2, n, w.file) != n;
    w.samples += n;
    samples += n;
    count -= n;
  }
}

bool wav_close(WavWriter& w) {
  if (!w.file) return false;
  uint8_t h[44];
  header(h, w.rate, w.channels, uint32_t(w.samples * 2));
  if (!w.failed) w.failed = std::fseek(w.file, 0, SEEK_SET) != 0 || std::fwrite(h, 1, sizeof h, w.file) != sizeof h;
  const bool closed = std::fclose(w.file) == 0;
  w.file = nullptr;
  return closed && !w.failed;
}
