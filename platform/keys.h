#pragma once
// Polled key state, as the program's loops read the keyboard: one query per key,
// answering with a 16-bit signed state.
//
//   bit 15  the key is down now
//   bit 0   the key was pressed since the previous query of that key
//
// So "held" is any non-zero state and "struck" is exactly -32767 (0x8001): down
// now and pressed since the last look. A key merely held across frames reads
// -32768 and does not count as struck again. The win32 backend asks the system
// (GetAsyncKeyState), which keeps both bits itself, whether or not the program
// has a window. Backends whose system keeps no such state feed it from their
// event pumps through the calls below (the SDL backend inside the window's pump,
// the virtual one from its script; platform_fed_keys); queries and feeding
// happen on the main thread.
#include <cstdint>

constexpr int vk_escape = 0x1B;
constexpr int vk_page_up = 0x21;
constexpr int vk_page_down = 0x22;
constexpr int vk_end = 0x23;
constexpr int vk_home = 0x24;
constexpr int vk_left = 0x25;
constexpr int vk_up = 0x26;
constexpr int vk_right = 0x27;
constexpr int vk_down = 0x28;
constexpr int vk_f1 = 0x70;   // F1..F12 are 0x70..0x7B
constexpr int vk_f12 = 0x7B;

int16_t key_async_state(int virtual_key);
inline bool key_held(int virtual_key) { return key_async_state(virtual_key) != 0; }
inline bool key_struck(int virtual_key) { return key_async_state(virtual_key) == -32767; }

// Backend side, for backends that feed the state (not on Windows).
void keys_note_down(int virtual_key);
void keys_note_up(int virtual_key);
void keys_reset();
