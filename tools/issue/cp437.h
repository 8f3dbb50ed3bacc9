#pragma once
// Code page 437, the PC character set the pages are drawn in, against Unicode.
// Sources are typed in Unicode; the program draws CP437 codes 32..255.
#include <cstdint>

// The Unicode character shown for each CP437 code.
char32_t cp437_to_unicode(uint8_t code);

// The CP437 code of a Unicode character, or -1 when the set has none. A few
// look-alikes are accepted too (Greek beta for the sharp s, micro for mu, ...).
int cp437_from_unicode(char32_t c);
