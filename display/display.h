#pragma once
// The display layer: the program's one window, its presentation and its mouse.
// Configure, open once, update once per frame with the whole frame, close once.
// The window's event handler (run inside display_update's pump) keeps the mouse
// position, both buttons, the wheel counter and whether the program is active;
// frames are converted and shown only while it is active.
#include <cstdint>

void display_configure(uint8_t ask, const char* question, int32_t windowed, uint8_t popup);
void display_set_close_on_escape(uint8_t flag);
void display_set_flip_wait(int32_t flag);
int32_t display_open(const char* title, int32_t width, int32_t height);   // 1 on success, 0 on failure
int32_t display_update(const uint32_t* frame);                            // 0 when the surface could not be locked
void display_close();

uint32_t display_mouse_x();
uint32_t display_mouse_y();
uint32_t display_mouse_left();
uint32_t display_mouse_right();
int32_t display_mouse_wheel();
void display_set_mouse_wheel(int32_t step, int32_t value);
uintptr_t display_window();   // non-zero while the window exists

// For tests: back to the state before the first display_configure.
void display_reset_for_test();
