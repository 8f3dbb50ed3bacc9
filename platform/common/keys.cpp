// Polled key state kept the way the OS keeps it for an asynchronous query:
// "down now" follows the events, "pressed since the last query" is set by a
// press and cleared by the next query of that key.
#include "platform/keys.h"

namespace {

struct KeyState {
  bool down = false;
  bool pressed_since_query = false;
};

KeyState key_states[256];

}  // namespace

int16_t key_async_state(int virtual_key) {
  if (virtual_key < 0 || virtual_key > 255) return 0;
  KeyState& key = key_states[virtual_key];
  uint16_t state = (key.down ? 0x8000u : 0u) | (key.pressed_since_query ? 1u : 0u);
  key.pressed_since_query = false;
  return int16_t(state);
}

void keys_note_down(int virtual_key) {
  if (virtual_key < 0 || virtual_key > 255) return;
  KeyState& key = key_states[virtual_key];
  if (!key.down) key.pressed_since_query = true;   // auto-repeat is not a new press
  key.down = true;
}

void keys_note_up(int virtual_key) {
  if (virtual_key < 0 || virtual_key > 255) return;
  key_states[virtual_key].down = false;
}

void keys_reset() {
  for (KeyState& key : key_states) key = KeyState{};
}
