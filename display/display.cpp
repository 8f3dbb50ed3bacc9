// The display layer on the platform window: configuration, opening, the per-frame
// pump, conversion and present, and the window's event handler.
#include "display/display.h"

#include <string>

#include "display/row_converters.h"
#include "platform/clock.h"
#include "platform/keys.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/window.h"

namespace {

struct DisplayLayer {
  bool window_exists = false;
  uint32_t active = 0;
  int32_t width = 0, height = 0;
  uint32_t mouse_x = 0, mouse_y = 0;
  uint32_t mouse_left = 0, mouse_right = 0;
  int32_t wheel = 0;
  int32_t wheel_step = 1;
  uint8_t ask = 0;
  std::string question = "Fullscreen Mode ?";
  int32_t windowed = 1;
  uint8_t popup = 0;
  int32_t flip_wait = 1;
  uint8_t close_on_escape = 1;
  RowConverter converter = nullptr;
};

DisplayLayer display;

void close_request() {
  if (!display.close_on_escape) return;   // swallowed: the program watches Escape itself
  display_close();
  process_exit(0);
}

void handle_event(const WindowEvent& event) {
  switch (event.kind) {
    case WindowEvent::mouse_move:
      display.mouse_x = uint32_t(event.x) & 0xFFFF;
      display.mouse_y = uint32_t(event.y) & 0xFFFF;
      break;
    case WindowEvent::left_down: display.mouse_left = 1; break;
    case WindowEvent::left_up: display.mouse_left = 0; break;
    case WindowEvent::right_down: display.mouse_right = 1; break;
    case WindowEvent::right_up: display.mouse_right = 0; break;
    case WindowEvent::wheel:
      // Only a turn towards the user counts down; a delta of 0 counts up.
      display.wheel += event.wheel_delta < 0 ? -display.wheel_step : display.wheel_step;
      break;
    case WindowEvent::activate: display.active = uint32_t(event.active); break;
    case WindowEvent::close_request: close_request(); break;
    case WindowEvent::key_down:
      if ((event.key & 0xFF) == vk_escape) close_request();
      break;
  }
}

}  // namespace

void display_configure(uint8_t ask, const char* question, int32_t windowed, uint8_t popup) {
  display.ask = ask;
  if (question && question[0]) display.question = question;
  if (!ask) display.windowed = windowed;
  display.popup = popup;
}

void display_set_close_on_escape(uint8_t flag) { display.close_on_escape = flag; }
void display_set_flip_wait(int32_t flag) { display.flip_wait = flag; }

int32_t display_open(const char* title, int32_t width, int32_t height) {
  display.width = width;
  display.height = height;
  if (display.ask) display.windowed = message_box_yes_no(title, display.question.c_str()) ? 0 : 1;
  WindowKind kind = !display.windowed ? WindowKind::full_screen : display.popup ? WindowKind::popup : WindowKind::captioned;
  if (!window_open(title, width, height, kind)) return 0;
  display.window_exists = true;
  SurfaceFormat format = window_surface_format();
  display.converter = row_converter_for(format.bits_per_pixel, format.red_mask, format.green_mask, format.blue_mask);
  if (!display.converter) {
    display_close();
    return 0;
  }
  screen_saver_allow(false);
  return 1;
}

int32_t display_update(const uint32_t* frame) {
  WindowEvent event;
  while (window_next_event(&event)) handle_event(event);
  if (display.active && display.window_exists && display.converter) {
    uint8_t* surface = nullptr;
    int pitch = 0;
    if (!window_lock(&surface, &pitch)) return 0;
    for (int32_t y = 0; y < display.height; ++y)
      display.converter(frame + size_t(y) * display.width, surface + size_t(y) * pitch, display.width);
    window_unlock();
    window_present(display.flip_wait != 0);
    sleep_ms(0);
  }
  if (display.windowed) sleep_ms(1);
  return 1;
}

void display_close() {
  if (display.window_exists) window_close();
  display.window_exists = false;
  display.converter = nullptr;
  screen_saver_allow(true);
}

uint32_t display_mouse_x() { return display.mouse_x; }
uint32_t display_mouse_y() { return display.mouse_y; }
uint32_t display_mouse_left() { return display.mouse_left; }
uint32_t display_mouse_right() { return display.mouse_right; }
int32_t display_mouse_wheel() { return display.wheel; }

void display_set_mouse_wheel(int32_t step, int32_t value) {
  display.wheel_step = step;
  display.wheel = value;
}

uintptr_t display_window() { return display.window_exists ? 1 : 0; }

void display_reset_for_test() { display = DisplayLayer{}; }
