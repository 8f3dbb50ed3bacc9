// The program's random generator: splitmix64, which is small, fast and has no
// bad seeds. Uniform doubles take the top 53 bits.
#include "platform/random.h"

namespace {

constexpr uint64_t initial_seed = 0x4F5256454C4C4137ull;  // "ORVELLA7"

uint64_t salt = 0;
uint64_t state = initial_seed;

uint64_t next() {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

void random_seed(uint64_t seed) { state = seed ^ salt; }

double random_uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }

void random_set_salt(uint64_t new_salt) {
  salt = new_salt * 0xD6E8FEB86659FD93ull;
  state = initial_seed ^ salt;
}
