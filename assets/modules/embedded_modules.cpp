// The table of embedded modules: pointer and byte count of each.
#include "assets/modules/embedded_modules.h"

extern const unsigned char embedded_module_1[], embedded_module_2[], embedded_module_3[], embedded_module_4[];
extern const unsigned long embedded_module_1_size, embedded_module_2_size, embedded_module_3_size,
    embedded_module_4_size;

EmbeddedModule embedded_module(int n) {
  switch (n) {
    case 1: return {embedded_module_1, embedded_module_1_size};
    case 2: return {embedded_module_2, embedded_module_2_size};
    case 3: return {embedded_module_3, embedded_module_3_size};
    case 4: return {embedded_module_4, embedded_module_4_size};
    default: return {nullptr, 0};
  }
}
