// Keys straight from the system's asynchronous key state: "down now" and
// "pressed since the last query" are Windows' own bits, so nothing is fed here.
#include <windows.h>

#include "platform/keys.h"

int16_t key_async_state(int virtual_key) {
  if (virtual_key < 0 || virtual_key > 255) return 0;
  return int16_t(GetAsyncKeyState(virtual_key));
}
