// The window in a web page: the page's one canvas (#canvas), frame-sized. The
// page's style scales it to the window with its aspect kept and square pixels;
// the browser's full screen is toggled with the F key. Input arrives as HTML5
// events, queued as they come and handed out by the pump in order, where the
// keys also reach the polled key state (as SDL's pump does). The program is
// active while the page is visible and has the focus.
//
// Presenting puts the frame on the canvas and then waits for the page's next
// display frame (requestAnimationFrame), the browser's vertical sync; the music
// threads and the audio feeding run meanwhile.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/keys.h"
#include "platform/message_box.h"
#include "platform/web/web_internal.h"
#include "platform/window.h"

extern "C" {
void mag_web_canvas_put(const uint8_t* pixels, int width, int height);
void mag_web_note_frame(double waiting_ms, double background_ms, double threads_ms, double presenting_ms);
}

// Frame pixel under a point of the page, unclamped.
EM_JS(void, mag_web_frame_point, (double client_x, double client_y, int width, int height, int32_t* out), {
  var canvas = Module.canvas || document.getElementById('canvas');
  var box = canvas.getBoundingClientRect();
  HEAP32[out >> 2] = Math.floor((client_x - box.left) * width / Math.max(box.width, 1));
  HEAP32[(out >> 2) + 1] = Math.floor((client_y - box.top) * height / Math.max(box.height, 1));
});

EM_JS(void, mag_web_set_title_and_cursor, (const char* title, int cursor_shown), {
  var canvas = Module.canvas || document.getElementById('canvas');
  if (title) document.title = UTF8ToString(title);
  canvas.style.cursor = cursor_shown ? 'default' : 'none';
});

EM_JS(void, mag_web_toggle_full_screen, (), {
  var page = document.documentElement;
  if (document.fullscreenElement) {
    document.exitFullscreen();
  } else if (page.requestFullscreen) {
    page.requestFullscreen().catch(function(e) { err('full screen: ' + e); });
  }
});

EM_JS(void, mag_web_console_error, (const char* caption, const char* text), {
  console.error(UTF8ToString(caption) + ': ' + UTF8ToString(text));
});

namespace {

constexpr const char* canvas_target = "#canvas";
// A present waits at most this long for the display frame (a hidden page has none).
constexpr double longest_frame_wait_ms = 100;

struct KeyCode {
  const char* code;   // KeyboardEvent.code
  int key;
};

constexpr KeyCode key_codes[] = {
    {"Escape", vk_escape}, {"PageUp", vk_page_up}, {"PageDown", vk_page_down}, {"End", vk_end},
    {"Home", vk_home},     {"ArrowLeft", vk_left}, {"ArrowUp", vk_up},         {"ArrowRight", vk_right},
    {"ArrowDown", vk_down}, {"F1", vk_f1},         {"F2", vk_f1 + 1},          {"F3", vk_f1 + 2},
    {"F4", vk_f1 + 3},     {"F5", vk_f1 + 4},      {"F6", vk_f1 + 5},          {"F7", vk_f1 + 6},
    {"F8", vk_f1 + 7},     {"F9", vk_f1 + 8},      {"F10", vk_f1 + 9},         {"F11", vk_f1 + 10},
    {"F12", vk_f12},
};

int virtual_key_of(const char* code) {
  for (const KeyCode& entry : key_codes)
    if (std::strcmp(entry.code, code) == 0) return entry.key;
  return 0;
}

// One pending input: a window event, or a key going up (which only the key
// state hears of).
struct Input {
  WindowEvent event;
  int key_up = 0;
};

struct WebWindow {
  bool open = false;
  int width = 0, height = 0;
  std::vector<uint8_t> surface;
  std::vector<Input> inputs;   // in arrival order
  bool key_down[256] = {};
  bool left_down = false, right_down = false;
  bool focused = true;   // the page had the reader's gesture to start
  bool visible = true;
  bool active = false;
  double wheel_pixels = 0;   // smooth scrolling gathered into notches
} web;

// Room for several frames of input at any rate a person can make it; moves
// are merged, so only clicks and keys take room.
constexpr size_t most_inputs = 512;

void queue(const Input& input) {
  if (input.event.kind == WindowEvent::mouse_move && input.key_up == 0 && !web.inputs.empty()) {
    Input& last = web.inputs.back();
    if (last.key_up == 0 && last.event.kind == WindowEvent::mouse_move) {
      last = input;
      return;
    }
  }
  if (web.inputs.size() < most_inputs) web.inputs.push_back(input);
}

void queue_event(const WindowEvent& event) {
  Input input;
  input.event = event;
  queue(input);
}

void queue_activation() {
  bool active = web.focused && web.visible;
  if (active == web.active) return;
  web.active = active;
  WindowEvent event;
  event.kind = WindowEvent::activate;
  event.active = active ? 1 : 0;
  queue_event(event);
}

// Nothing that went up while the page had no focus is ever heard of: let go
// of every key and button now.
void release_everything() {
  for (int key = 0; key < 256; ++key) {
    if (!web.key_down[key]) continue;
    web.key_down[key] = false;
    Input input;
    input.key_up = key;
    queue(input);
  }
  WindowEvent event;
  if (web.left_down) {
    event.kind = WindowEvent::left_up;
    queue_event(event);
  }
  if (web.right_down) {
    event.kind = WindowEvent::right_up;
    queue_event(event);
  }
  web.left_down = web.right_down = false;
}

EM_BOOL on_key(int type, const EmscriptenKeyboardEvent* e, void*) {
  bool plain = !e->ctrlKey && !e->altKey && !e->metaKey;
  int key = virtual_key_of(e->code);
  if (key == 0) {
    if (type == EMSCRIPTEN_EVENT_KEYDOWN && plain && !e->repeat && std::strcmp(e->code, "KeyF") == 0) {
      mag_web_toggle_full_screen();
      return EM_TRUE;
    }
    return EM_FALSE;
  }
  if (type == EMSCRIPTEN_EVENT_KEYDOWN) {
    // A key held since before the program saw it down is not pressed by its repeats.
    if (!e->repeat && !web.key_down[key]) {
      web.key_down[key] = true;
      WindowEvent event;
      event.kind = WindowEvent::key_down;
      event.key = key;
      queue_event(event);
    }
  } else if (web.key_down[key]) {
    web.key_down[key] = false;
    Input input;
    input.key_up = key;
    queue(input);
  }
  // Our keys are the program's (F5 is a tune, not a reload), unless a modifier
  // makes them a browser shortcut.
  return plain ? EM_TRUE : EM_FALSE;
}

void queue_move(const EmscriptenMouseEvent* e) {
  int32_t point[2];
  mag_web_frame_point(double(e->clientX), double(e->clientY), web.width, web.height, point);
  WindowEvent event;
  event.kind = WindowEvent::mouse_move;
  event.x = std::clamp<int32_t>(point[0], 0, std::max(web.width - 1, 0));
  event.y = std::clamp<int32_t>(point[1], 0, std::max(web.height - 1, 0));
  queue_event(event);
}

EM_BOOL on_mouse(int type, const EmscriptenMouseEvent* e, void*) {
  queue_move(e);
  if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) return EM_FALSE;
  bool down = type == EMSCRIPTEN_EVENT_MOUSEDOWN;
  WindowEvent event;
  if (e->button == 0 && web.left_down != down) {
    web.left_down = down;
    event.kind = down ? WindowEvent::left_down : WindowEvent::left_up;
    queue_event(event);
  } else if (e->button == 2 && web.right_down != down) {
    web.right_down = down;
    event.kind = down ? WindowEvent::right_down : WindowEvent::right_up;
    queue_event(event);
  }
  return down ? EM_TRUE : EM_FALSE;   // no text selection, no drag of the canvas
}

// A wheel's notch arrives as one event of tens of pixels or three lines; a
// touchpad sends many small ones, gathered here into notches of 100 pixels.
EM_BOOL on_wheel(int, const EmscriptenWheelEvent* e, void*) {
  constexpr double pixels_per_notch = 100;
  constexpr double pixels_per_line = 33;
  double pixels = e->deltaY;
  if (e->deltaMode == DOM_DELTA_LINE) pixels *= pixels_per_line;
  if (e->deltaMode == DOM_DELTA_PAGE) pixels *= 600;
  int notches = 0;
  if (std::abs(pixels) >= 40) {
    notches = std::max(1, int(std::lround(std::abs(pixels) / pixels_per_notch)));
    if (pixels < 0) notches = -notches;
    web.wheel_pixels = 0;
  } else {
    web.wheel_pixels += pixels;
    notches = int(web.wheel_pixels / pixels_per_notch);
    web.wheel_pixels -= notches * pixels_per_notch;
  }
  WindowEvent event;
  event.kind = WindowEvent::wheel;
  // The page's deltaY grows towards the reader; our notches grow away from him.
  event.wheel_delta = notches < 0 ? 1 : -1;
  for (int i = 0; i < std::abs(notches); ++i) queue_event(event);
  return EM_TRUE;
}

EM_BOOL on_focus(int type, const EmscriptenFocusEvent*, void*) {
  web.focused = type == EMSCRIPTEN_EVENT_FOCUS;
  if (!web.focused) release_everything();
  queue_activation();
  return EM_FALSE;
}

EM_BOOL on_visibility(int, const EmscriptenVisibilityChangeEvent* e, void*) {
  web.visible = !e->hidden;
  if (!web.visible) release_everything();
  queue_activation();
  return EM_FALSE;
}

void listen() {
  const char* window_target = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(window_target, nullptr, EM_TRUE, on_key);
  emscripten_set_keyup_callback(window_target, nullptr, EM_TRUE, on_key);
  emscripten_set_mousedown_callback(canvas_target, nullptr, EM_TRUE, on_mouse);
  // Moves and releases outside the canvas count too: a dragged knob follows.
  emscripten_set_mouseup_callback(window_target, nullptr, EM_TRUE, on_mouse);
  emscripten_set_mousemove_callback(window_target, nullptr, EM_TRUE, on_mouse);
  emscripten_set_wheel_callback(canvas_target, nullptr, EM_TRUE, on_wheel);
  emscripten_set_focus_callback(window_target, nullptr, EM_TRUE, on_focus);
  emscripten_set_blur_callback(window_target, nullptr, EM_TRUE, on_focus);
  emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, on_visibility);
}

}  // namespace

// No window yet (start-up) counts as shown: nothing waits for it.
bool web_window_active() { return !web.open || web.active; }

bool window_open(const char* title, int width, int height, WindowKind) {
  if (web.open || width <= 0 || height <= 0) return false;
  double css_width = 0, css_height = 0;
  if (emscripten_get_element_css_size(canvas_target, &css_width, &css_height) != EMSCRIPTEN_RESULT_SUCCESS) {
    std::fprintf(stderr, "magazine: no display could be opened: the page has no canvas %s\n", canvas_target);
    return false;
  }
  emscripten_set_canvas_element_size(canvas_target, width, height);
  web = WebWindow{};
  web.open = true;
  web.width = width;
  web.height = height;
  web.surface.assign(size_t(width) * size_t(height) * 4, 0);
  web.inputs.reserve(most_inputs);
  EmscriptenVisibilityChangeEvent visibility;
  if (emscripten_get_visibility_status(&visibility) == EMSCRIPTEN_RESULT_SUCCESS) web.visible = !visibility.hidden;
  mag_web_set_title_and_cursor(title, 1);
  listen();
  queue_activation();
  return true;
}

// RGBA in memory: the red byte first.
SurfaceFormat window_surface_format() { return SurfaceFormat{32, 0xFF, 0xFF00, 0xFF0000}; }

bool window_lock(uint8_t** pixels, int* pitch) {
  if (!web.open) return false;
  *pixels = web.surface.data();
  *pitch = web.width * 4;
  return true;
}

void window_unlock() {}

void window_present(bool wait_for_vertical_sync) {
  if (!web.open) return;
  WebTimes& times = web_times();
  double started = web_now_ms();
  // The canvas takes the fourth byte as opacity; our format leaves it 0.
  auto* pixels = reinterpret_cast<uint32_t*>(web.surface.data());
  for (size_t i = 0, count = web.surface.size() / 4; i < count; ++i) pixels[i] |= 0xFF000000u;
  mag_web_canvas_put(web.surface.data(), web.width, web.height);
  times.presenting_ms += web_now_ms() - started;
  mag_web_note_frame(times.waiting_ms, times.background_ms, times.threads_ms, times.presenting_ms);
  if (!wait_for_vertical_sync) return;
  web_request_frame();
  const double give_up = web_now_ms() + longest_frame_wait_ms;
  for (;;) {
    web_run_background();
    double now = web_now_ms();
    if (now >= give_up) return;
    double wake = std::min(give_up, web_next_thread_wake_ms());
    if (web_wait(std::max(0.0, wake - now), true)) return;
  }
}

// Presents wait for the browser's own display frame, so nothing paces on top.
double window_refresh_hz() { return 0; }

bool window_next_event(WindowEvent* out) {
  while (!web.inputs.empty()) {
    Input input = web.inputs.front();
    web.inputs.erase(web.inputs.begin());
    if (input.key_up) {
      keys_note_up(input.key_up);
      continue;
    }
    if (input.event.kind == WindowEvent::key_down) keys_note_down(input.event.key);
    *out = input.event;
    return true;
  }
  return false;
}

void window_close() {
  if (!web.open) return;
  emscripten_html5_remove_all_event_listeners();
  mag_web_set_title_and_cursor(nullptr, 1);
  web = WebWindow{};
}

void window_show_cursor(bool shown) { mag_web_set_title_and_cursor(nullptr, shown ? 1 : 0); }

// The page has no screen saver of its own to hold off.
void screen_saver_allow(bool) {}

// A failure the reader cannot act on: the browser's console keeps it, and the
// program carries on as after a dismissed message box.
void message_box(const char* caption, const char* text) { mag_web_console_error(caption, text); }

// The only question is full screen or not: the page decides that (the F key).
bool message_box_yes_no(const char*, const char*) { return true; }
