#pragma once
// The program's one random generator: uniform doubles in [0, 1).
// Before the first random_seed() it runs from a fixed initial state.
#include <cstdint>

void random_seed(uint64_t seed);
double random_uniform();

// Mixed into every seed and the initial state (magcapture --seed).
void random_set_salt(uint64_t salt);
