// The virtual window: a surface in memory in any of the pixel formats, a queue of
// input events, and the input script that feeds it. A present keeps the frame,
// saves requested shots, tells the observer, and lets 1/refresh seconds of
// virtual time pass.
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <vector>

#include "platform/keys.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/virtual.h"
#include "platform/virtual/virtual_internal.h"
#include "platform/virtual/virtual_script.h"
#include "platform/window.h"

namespace {

struct VirtualWindow {
  bool open = false;
  int width = 0, height = 0;
  SurfaceFormat format;
  int pitch = 0;
  std::vector<uint8_t> surface;
  std::deque<WindowEvent> events;
  double refresh_hz = 60.0;
  bool presents_wait = true;
  double present_carry_ns = 0;
  uint64_t presented = 0;
  VirtualPresentObserver observer = nullptr;
  std::string shot_directory = ".";
  bool cursor_shown = true;
} window;

ScriptRunner script;

uint32_t read_pixel(const uint8_t* at, int bytes) {
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= uint32_t(at[i]) << (8 * i);
  return value;
}

uint32_t channel_of(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!(mask & (1u << shift))) ++shift;
  uint32_t bits = 0;
  while (shift + bits < 32 && (mask & (1u << (shift + bits)))) ++bits;
  uint32_t value = (pixel & mask) >> shift;
  return bits >= 8 ? value >> (bits - 8) : value << (8 - bits);
}

void end_run(int status);

void script_post(const WindowEvent& event) { window.events.push_back(event); }

void run_script() {
  if (!script.loaded()) return;
  script_run_until_blocked(script, virtual_now_ns(), script_post);
  if (script_finished(script)) end_run(3);
}

void end_run(int status) {
  script = ScriptRunner{};   // the handler may present again; nothing more to do
  process_exit(status);
}

}  // namespace

void virtual_window_reset() {
  VirtualPresentObserver observer = window.observer;
  std::string shots = window.shot_directory;
  window = VirtualWindow{};
  window.observer = observer;
  window.shot_directory = shots;
  script = ScriptRunner{};
}

void virtual_reset() {
  virtual_reset_time();
  virtual_devices_reset();
  virtual_window_reset();
  keys_reset();
}

void virtual_set_refresh(double hertz) { window.refresh_hz = hertz > 0 ? hertz : 60.0; }
void virtual_set_presents_wait(bool wait) { window.presents_wait = wait; }
void virtual_set_surface_format(const SurfaceFormat& format) { window.format = format; }
void virtual_post_event(const WindowEvent& event) { window.events.push_back(event); }
bool virtual_window_is_open() { return window.open; }
uint64_t virtual_presented_count() { return window.presented; }
void virtual_set_present_observer(VirtualPresentObserver observer) { window.observer = observer; }
void virtual_set_shot_directory(const std::string& directory) { window.shot_directory = directory; }

bool virtual_load_script(const std::string& text, std::string* error) {
  if (!script_parse(text, script, error)) return false;
  // What the script does before its first wait is already so when the program starts.
  script_run_until_blocked(script, virtual_now_ns(), script_post);
  return true;
}

std::vector<uint32_t> virtual_presented_frame(int* width, int* height) {
  *width = window.width;
  *height = window.height;
  std::vector<uint32_t> pixels(size_t(window.width) * window.height, 0);
  int bytes = window.format.bits_per_pixel / 8;
  if (window.surface.empty() || bytes < 2) return pixels;
  for (int y = 0; y < window.height; ++y)
    for (int x = 0; x < window.width; ++x) {
      uint32_t p = read_pixel(&window.surface[size_t(y) * window.pitch + size_t(x) * bytes], bytes);
      pixels[size_t(y) * window.width + x] = channel_of(p, window.format.red_mask) << 16 |
                                             channel_of(p, window.format.green_mask) << 8 |
                                             channel_of(p, window.format.blue_mask);
    }
  return pixels;
}

bool virtual_save_png(const char* path, const std::vector<uint32_t>& pixels, int width, int height) {
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  // No time or text chunks: the same frame always gives the same bytes.
  png_write_info(png, info);
  std::vector<uint8_t> row(size_t(width) * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t p = pixels[size_t(y) * width + x];
      row[3 * x] = uint8_t(p >> 16);
      row[3 * x + 1] = uint8_t(p >> 8);
      row[3 * x + 2] = uint8_t(p);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

bool window_open(const char*, int width, int height, WindowKind) {
  int bytes = window.format.bits_per_pixel / 8;
  if (width <= 0 || height <= 0 || bytes < 1) return false;
  window.open = true;
  window.width = width;
  window.height = height;
  window.pitch = (width * bytes + 3) & ~3;
  window.surface.assign(size_t(window.pitch) * height, 0);
  // As on the desktop, the new window is the active one.
  WindowEvent activate;
  activate.kind = WindowEvent::activate;
  activate.active = 1;
  window.events.push_front(activate);
  return true;
}

SurfaceFormat window_surface_format() { return window.format; }

bool window_lock(uint8_t** pixels, int* pitch) {
  if (!window.open) return false;
  *pixels = window.surface.data();
  *pitch = window.pitch;
  return true;
}

void window_unlock() {}

void window_present(bool) {
  if (!window.open) return;
  window.presented += 1;
  std::vector<std::string> shots = script_take_shots(script);
  if (!shots.empty()) {
    int width, height;
    std::vector<uint32_t> frame = virtual_presented_frame(&width, &height);
    for (const std::string& name : shots) {
      std::string path = window.shot_directory + "/" + name;
      if (!virtual_save_png(path.c_str(), frame, width, height))
        std::fprintf(stderr, "magcapture: cannot write %s\n", path.c_str());
    }
  }
  if (window.observer) window.observer(window.presented, double(virtual_now_ns()) * 1e-9);
  script_after_present(script, script_post);
  if (!window.presents_wait) {
    if (script.loaded() && script_finished(script)) end_run(3);
    return;
  }
  window.present_carry_ns += 1e9 / window.refresh_hz;
  auto step = int64_t(window.present_carry_ns);
  window.present_carry_ns -= double(step);
  virtual_advance_to_ns(virtual_now_ns() + step);
  if (script.loaded() && script_finished(script)) end_run(3);
}

double window_refresh_hz() { return window.refresh_hz; }

bool window_next_event(WindowEvent* event) {
  if (window.events.empty()) run_script();
  if (window.events.empty()) {
    if (script_quit_requested(script)) end_run(3);
    return false;
  }
  *event = window.events.front();
  window.events.pop_front();
  return true;
}

void window_close() {
  window.open = false;
  window.events.clear();
}

void window_show_cursor(bool shown) { window.cursor_shown = shown; }
void screen_saver_allow(bool) {}

void message_box(const char* caption, const char* text) { std::fprintf(stderr, "%s: %s\n", caption, text); }
bool message_box_yes_no(const char*, const char*) { return true; }
