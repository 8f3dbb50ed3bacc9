#pragma once
// UTF-8 decoding for the content sources: one code point at a time.
#include <cstddef>
#include <string_view>

// Decodes the code point at text[pos] and advances pos. Returns false (and
// skips one byte) on a malformed or overlong sequence.
inline bool utf8_next(std::string_view text, size_t& pos, char32_t& out) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char b0 = byte(pos);
  int extra;
  char32_t c;
  if (b0 < 0x80) { out = b0; ++pos; return true; }
  if ((b0 & 0xE0) == 0xC0) { extra = 1; c = b0 & 0x1F; }
  else if ((b0 & 0xF0) == 0xE0) { extra = 2; c = b0 & 0x0F; }
  else if ((b0 & 0xF8) == 0xF0) { extra = 3; c = b0 & 0x07; }
  else { ++pos; return false; }
  if (pos + size_t(extra) >= text.size()) { ++pos; return false; }
  for (int k = 1; k <= extra; ++k) {
    unsigned char b = byte(pos + size_t(k));
    if ((b & 0xC0) != 0x80) { ++pos; return false; }
    c = c << 6 | (b & 0x3F);
  }
  static constexpr char32_t smallest[4] = {0, 0x80, 0x800, 0x10000};
  if (c < smallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) { ++pos; return false; }
  pos += size_t(extra) + 1;
  out = c;
  return true;
}
