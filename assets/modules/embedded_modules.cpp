// Which embedded bytes each module number plays.
#include "assets/modules/embedded_modules.h"

extern const unsigned char module_1_xm[], module_2_xm[], module_3_xm[], module_4_xm[];
extern const unsigned long module_1_xm_size, module_2_xm_size, module_3_xm_size, module_4_xm_size;

namespace {
struct Entry {
  const unsigned char* bytes;
  const unsigned long* size;
};
const Entry modules[4] = {{module_1_xm, &module_1_xm_size},
                          {module_2_xm, &module_2_xm_size},
                          {module_3_xm, &module_3_xm_size},
                          {module_4_xm, &module_4_xm_size}};
}  // namespace

EmbeddedModule embedded_module(int n) {
  if (n < 1 || n > 4) return {};
  return {modules[n - 1].bytes, static_cast<uint32_t>(*modules[n - 1].size)};
}
