// libFuzzer entry: build with -DMAG_FUZZ=ON and clang (see CMakeLists.txt).
#include <cstddef>
#include <cstdint>

#include "tests/fuzz_xm/fuzz_one.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  xm_fuzz_one(data, size);
  return 0;
}
