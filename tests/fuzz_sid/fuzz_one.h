#pragma once
// One fuzz input: any bytes, loaded as a tune and played for a few chunks through
// the same calls the intro makes.
#include <cstddef>
#include <cstdint>

void sid_fuzz_one(const uint8_t* data, size_t size);
