// The display layer on the platform window: configuration, opening, the per-frame
// pump, conversion and present, and the window's event handler.
#include "display/display.h"

#include "platform/clock.h"
#include "platform/keys.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/window.h"

namespace {

void close_request(DisplayLayer& display) {
  if (!display.close_on_escape) return;   // swallowed: the program watches Escape itself
  display_close(display);
  process_exit(0);
}

void handle_event(DisplayLayer& display, const WindowEvent& event) {
  switch (event.kind) {
    case WindowEvent::mouse_move:
      display.mouse_x = uint32_t(event.x) & 0xFFFF;
      display.mouse_y = uint32_t(event.y) & 0xFFFF;
      break;
    case WindowEvent::left_down:
      display.mouse_left = 1;
      display.left_press_unseen = true;
      display.left_release_pending = false;
      break;
    case WindowEvent::left_up:
      if (display.left_press_unseen)
        display.left_release_pending = true;
      else
        display.mouse_left = 0;
      break;
    case WindowEvent::right_down: display.mouse_right = 1; break;
    case WindowEvent::right_up: display.mouse_right = 0; break;
    case WindowEvent::wheel:
      // Only a turn towards the user counts down; a delta of 0 counts up.
      display.wheel += event.wheel_delta < 0 ? -display.wheel_step : display.wheel_step;
      break;
    case WindowEvent::activate: display.active = uint32_t(event.active); break;
    case WindowEvent::close_request: close_request(display); break;
    case WindowEvent::key_down:
      if ((event.key & 0xFF) == vk_escape) close_request(display);
      break;
  }
}

void pump(DisplayLayer& display) {
  // The quick click of the previous pump has been seen by one frame: let it go.
  if (display.left_release_pending) display.mouse_left = 0;
  display.left_release_pending = false;
  display.left_press_unseen = false;
  WindowEvent event;
  while (window_next_event(&event)) handle_event(display, event);
}

// With flip_wait the present follows the display's refresh; where the platform's
// present returned without waiting, wait out the rest of the interval here.
void pace(DisplayLayer& display) {
  double now = clock_seconds();
  double release = frame_pacing_after_present(display.pacer, now);
  if (release > now) sleep_until(release);
}

}  // namespace

void display_configure(DisplayLayer& display, const DisplaySetup& setup) {
  display.ask = setup.ask;
  if (setup.question && setup.question[0]) display.question = setup.question;
  if (!setup.ask) display.windowed = setup.windowed;
  display.popup = setup.popup;
}

void display_set_close_on_escape(DisplayLayer& display, bool flag) { display.close_on_escape = flag; }
void display_set_flip_wait(DisplayLayer& display, bool flag) { display.flip_wait = flag; }

bool display_open(DisplayLayer& display, const char* title, int32_t width, int32_t height) {
  display.width = width;
  display.height = height;
  if (display.ask) display.windowed = !message_box_yes_no(title, display.question.c_str());
  WindowKind kind = !display.windowed ? WindowKind::full_screen : display.popup ? WindowKind::popup : WindowKind::captioned;
  if (!window_open(title, width, height, kind)) return false;
  display.window_exists = true;
  SurfaceFormat format = window_surface_format();
  display.converter = row_converter_for(format.bits_per_pixel, format.red_mask, format.green_mask, format.blue_mask);
  if (!display.converter) {
    display_close(display);
    return false;
  }
  frame_pacing_start(display.pacer, window_refresh_hz());
  screen_saver_allow(false);
  return true;
}

bool display_update(DisplayLayer& display, const uint32_t* frame) {
  pump(display);
  if (display.active && display.window_exists && display.converter) {
    uint8_t* surface = nullptr;
    int pitch = 0;
    if (!window_lock(&surface, &pitch)) return false;
    for (int32_t y = 0; y < display.height; ++y)
      display.converter(frame + size_t(y) * display.width, surface + size_t(y) * pitch, display.width);
    window_unlock();
    window_present(display.flip_wait);
    if (display.flip_wait) pace(display);
    sleep_ms(0);
  }
  if (display.windowed) sleep_ms(1);
  return true;
}

void display_close(DisplayLayer& display) {
  if (display.window_exists) window_close();
  display.window_exists = false;
  display.converter = nullptr;
  screen_saver_allow(true);
}

uint32_t display_mouse_x(const DisplayLayer& display) { return display.mouse_x; }
uint32_t display_mouse_y(const DisplayLayer& display) { return display.mouse_y; }
uint32_t display_mouse_left(const DisplayLayer& display) { return display.mouse_left; }
uint32_t display_mouse_right(const DisplayLayer& display) { return display.mouse_right; }
int32_t display_mouse_wheel(const DisplayLayer& display) { return display.wheel; }

void display_set_mouse_wheel(DisplayLayer& display, int32_t step, int32_t value) {
  display.wheel_step = step;
  display.wheel = value;
}

bool display_window(const DisplayLayer& display) { return display.window_exists; }
