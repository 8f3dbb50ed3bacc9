#include "tests/fuzz_sid/fuzz_one.h"

#include <cstdlib>
#include <memory>

#include "sid/sid_driver.h"

void sid_fuzz_one(const uint8_t* data, size_t size) {
  static const auto state = std::make_unique<SidPlayerState>();
  SidPlayerState& st = *state;
  // The player takes a 32-bit length; larger inputs would never reach it.
  sid_prepare_tune(st, data, uint32_t(size), size > 0 ? data[size - 1] : 0);
  int16_t chunk[sid_chunk_samples];
  for (int i = 0; i < 4; ++i) {
    sid_render_chunk(st, chunk, sid_chunk_samples);
    if (st.last_call_instructions > sid_play_instruction_limit) std::abort();
  }
  if (st.init_instructions > sid_init_instruction_limit || st.play_calls != 4) std::abort();
}
