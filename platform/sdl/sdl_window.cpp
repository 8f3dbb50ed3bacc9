// The window on SDL2: a renderer with a streaming texture of the frame's size,
// letterboxed into the window (full screen is the desktop's own full-screen mode,
// so the display mode never changes). The texture's pixel format is the first
// of the renderer's formats that the display layer has a row converter for.
#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/keys.h"
#include "platform/message_box.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/window.h"

namespace {

struct FormatEntry {
  Uint32 sdl_format;
  SurfaceFormat surface;
};

// Our converters' formats in SDL's naming; the array formats (RGB24, BGR24) are
// named by their byte order in memory.
constexpr FormatEntry convertible_formats[] = {
    {SDL_PIXELFORMAT_RGB888, {32, 0xFF0000, 0xFF00, 0xFF}},
    {SDL_PIXELFORMAT_ARGB8888, {32, 0xFF0000, 0xFF00, 0xFF}},
    {SDL_PIXELFORMAT_BGR888, {32, 0xFF, 0xFF00, 0xFF0000}},
    {SDL_PIXELFORMAT_ABGR8888, {32, 0xFF, 0xFF00, 0xFF0000}},
    {SDL_PIXELFORMAT_BGR24, {24, 0xFF0000, 0xFF00, 0xFF}},
    {SDL_PIXELFORMAT_RGB24, {24, 0xFF, 0xFF00, 0xFF0000}},
    {SDL_PIXELFORMAT_RGB565, {16, 0xF800, 0x7E0, 0x1F}},
    {SDL_PIXELFORMAT_BGR565, {16, 0x1F, 0x7E0, 0xF800}},
    {SDL_PIXELFORMAT_RGB555, {16, 0x7C00, 0x3E0, 0x1F}},
    {SDL_PIXELFORMAT_BGR555, {16, 0x1F, 0x3E0, 0x7C00}},
};

struct SdlWindow {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  SurfaceFormat format;
  int width = 0, height = 0;
  bool vsync = true;
  bool announce_activation = false;
} sdl;

const FormatEntry* pick_format(SDL_Renderer* renderer) {
  SDL_RendererInfo info{};
  if (SDL_GetRendererInfo(renderer, &info) == 0) {
    for (Uint32 i = 0; i < info.num_texture_formats; ++i)
      for (const FormatEntry& entry : convertible_formats)
        if (entry.sdl_format == info.texture_formats[i]) return &entry;
  }
  return &convertible_formats[0];
}

int virtual_key_of(SDL_Scancode code) {
  switch (code) {
    case SDL_SCANCODE_ESCAPE: return vk_escape;
    case SDL_SCANCODE_PAGEUP: return vk_page_up;
    case SDL_SCANCODE_PAGEDOWN: return vk_page_down;
    case SDL_SCANCODE_END: return vk_end;
    case SDL_SCANCODE_HOME: return vk_home;
    case SDL_SCANCODE_LEFT: return vk_left;
    case SDL_SCANCODE_UP: return vk_up;
    case SDL_SCANCODE_RIGHT: return vk_right;
    case SDL_SCANCODE_DOWN: return vk_down;
    default: break;
  }
  if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F12) return vk_f1 + (code - SDL_SCANCODE_F1);
  return 0;
}

int32_t clamp_to(int32_t value, int32_t limit) { return std::clamp<int32_t>(value, 0, std::max(limit - 1, 0)); }

bool set_in_environment(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// Without a display SDL would fall back to its off-screen driver and the program
// would run unseen for ever. Unless the user names drivers in SDL_VIDEODRIVER,
// offer SDL only those that show something; Wayland only where libwayland can
// find a compositor at all (it complains on stderr otherwise).
void offer_only_real_video_drivers() {
  if (set_in_environment("SDL_VIDEODRIVER")) return;
  bool wayland_reachable = set_in_environment("XDG_RUNTIME_DIR") || set_in_environment("WAYLAND_SOCKET") ||
                           (set_in_environment("WAYLAND_DISPLAY") && std::getenv("WAYLAND_DISPLAY")[0] == '/');
  std::string drivers;
  for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
    const char* name = SDL_GetVideoDriver(i);
    if (!name || !std::strcmp(name, "offscreen") || !std::strcmp(name, "dummy") || !std::strcmp(name, "evdev")) continue;
    if (!std::strcmp(name, "wayland") && !wayland_reachable) continue;
    if (!drivers.empty()) drivers += ',';
    drivers += name;
  }
  // An empty list would let SDL try every driver again.
  SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.empty() ? "none" : drivers.c_str());
}

bool open_failed(const char* why) {
  std::string reason = why && *why ? why : "unknown reason";
  if (!set_in_environment("DISPLAY") && !set_in_environment("WAYLAND_DISPLAY"))
    reason += " (neither DISPLAY nor WAYLAND_DISPLAY is set)";
  std::fprintf(stderr, "%s: no display could be opened: %s\n", program_invocation_short_name, reason.c_str());
  return false;
}

}  // namespace

bool window_open(const char* title, int width, int height, WindowKind kind) {
  sdl_refuse_own_signal_handlers();
  sdl_quit_signals_install();
  offer_only_real_video_drivers();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return open_failed(SDL_GetError());
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  Uint32 flags = SDL_WINDOW_SHOWN;
  int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED, w = width, h = height;
  SDL_Rect desktop;
  if (kind == WindowKind::full_screen) {
    flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
    // Start at the desktop's own size, so that the window covers the screen even
    // where no window manager makes it full screen (a bare X server).
    if (SDL_GetDisplayBounds(0, &desktop) == 0) {
      x = desktop.x;
      y = desktop.y;
      w = desktop.w;
      h = desktop.h;
    }
  }
  if (kind == WindowKind::popup) flags |= SDL_WINDOW_BORDERLESS;
  sdl.window = SDL_CreateWindow(title, x, y, w, h, flags);
  if (!sdl.window) return open_failed(SDL_GetError());
  sdl.renderer = SDL_CreateRenderer(sdl.window, -1, SDL_RENDERER_PRESENTVSYNC);
  if (!sdl.renderer) sdl.renderer = SDL_CreateRenderer(sdl.window, -1, SDL_RENDERER_SOFTWARE);
  if (!sdl.renderer) {
    std::string why = SDL_GetError();
    window_close();
    return open_failed(why.c_str());
  }
  SDL_RenderSetLogicalSize(sdl.renderer, width, height);
  const FormatEntry* entry = pick_format(sdl.renderer);
  sdl.texture = SDL_CreateTexture(sdl.renderer, entry->sdl_format, SDL_TEXTUREACCESS_STREAMING, width, height);
  if (!sdl.texture) {
    std::string why = SDL_GetError();
    window_close();
    return open_failed(why.c_str());
  }
  sdl.format = entry->surface;
  sdl.width = width;
  sdl.height = height;
  sdl.vsync = true;
  // A newly opened window is the active application: say so once, since some
  // desktops (or none, under a bare X server) never send a focus event.
  sdl.announce_activation = true;
  return true;
}

SurfaceFormat window_surface_format() { return sdl.format; }

bool window_lock(uint8_t** pixels, int* pitch) {
  if (!sdl.texture) return false;
  void* data = nullptr;
  if (SDL_LockTexture(sdl.texture, nullptr, &data, pitch) != 0) return false;
  *pixels = static_cast<uint8_t*>(data);
  return true;
}

void window_unlock() {
  if (sdl.texture) SDL_UnlockTexture(sdl.texture);
}

void window_present(bool wait_for_vertical_sync) {
  if (!sdl.renderer) return;
  if (wait_for_vertical_sync != sdl.vsync) {
    SDL_RenderSetVSync(sdl.renderer, wait_for_vertical_sync ? 1 : 0);
    sdl.vsync = wait_for_vertical_sync;
  }
  SDL_SetRenderDrawColor(sdl.renderer, 0, 0, 0, 255);
  SDL_RenderClear(sdl.renderer);
  SDL_RenderCopy(sdl.renderer, sdl.texture, nullptr, nullptr);
  SDL_RenderPresent(sdl.renderer);
}

double window_refresh_hz() {
  if (!sdl.window) return 0;
  SDL_DisplayMode mode{};
  if (SDL_GetWindowDisplayMode(sdl.window, &mode) == 0 && mode.refresh_rate > 0) return mode.refresh_rate;
  int index = SDL_GetWindowDisplayIndex(sdl.window);
  if (index >= 0 && SDL_GetCurrentDisplayMode(index, &mode) == 0 && mode.refresh_rate > 0) return mode.refresh_rate;
  return 0;
}

bool window_next_event(WindowEvent* out) {
  if (sdl_quit_signal_pending()) sdl_end_for_quit_signal();
  if (sdl.announce_activation) {
    sdl.announce_activation = false;
    *out = WindowEvent{};
    out->kind = WindowEvent::activate;
    out->active = 1;
    return true;
  }
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    *out = WindowEvent{};
    switch (event.type) {
      case SDL_MOUSEMOTION:
        out->kind = WindowEvent::mouse_move;
        out->x = clamp_to(event.motion.x, sdl.width);
        out->y = clamp_to(event.motion.y, sdl.height);
        return true;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        bool down = event.type == SDL_MOUSEBUTTONDOWN;
        if (event.button.button == SDL_BUTTON_LEFT)
          out->kind = down ? WindowEvent::left_down : WindowEvent::left_up;
        else if (event.button.button == SDL_BUTTON_RIGHT)
          out->kind = down ? WindowEvent::right_down : WindowEvent::right_up;
        else
          continue;
        return true;
      }
      case SDL_MOUSEWHEEL:
        if (event.wheel.y == 0 && event.wheel.x != 0) continue;   // sideways scrolling
        out->kind = WindowEvent::wheel;
        out->wheel_delta = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        return true;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        int key = virtual_key_of(event.key.keysym.scancode);
        if (key == 0) continue;
        if (event.type == SDL_KEYUP) {
          keys_note_up(key);
          continue;
        }
        keys_note_down(key);
        out->kind = WindowEvent::key_down;
        out->key = key;
        return true;
      }
      case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED || event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
          out->kind = WindowEvent::activate;
          out->active = event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED;
          return true;
        }
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
          out->kind = WindowEvent::close_request;
          return true;
        }
        continue;
      case SDL_QUIT:
        out->kind = WindowEvent::close_request;
        return true;
      default:
        continue;
    }
  }
  return false;
}

void window_close() {
  // Off the screen at once; taking the renderer down can take a while (software
  // OpenGL: a tenth of a second and more).
  if (sdl.window) {
    SDL_HideWindow(sdl.window);
    SDL_PumpEvents();
  }
  if (sdl.texture) SDL_DestroyTexture(sdl.texture);
  if (sdl.renderer) SDL_DestroyRenderer(sdl.renderer);
  if (sdl.window) SDL_DestroyWindow(sdl.window);
  sdl = SdlWindow{};
}

void window_show_cursor(bool shown) { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

void screen_saver_allow(bool allowed) {
  if (allowed)
    SDL_EnableScreenSaver();
  else
    SDL_DisableScreenSaver();
}

void message_box(const char* caption, const char* text) {
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, sdl.window) != 0)
    SDL_Log("%s: %s", caption, text);
}

bool message_box_yes_no(const char* caption, const char* text) {
  const SDL_MessageBoxButtonData buttons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
  };
  SDL_MessageBoxData data{};
  data.flags = SDL_MESSAGEBOX_INFORMATION;
  data.window = sdl.window;
  data.title = caption;
  data.message = text;
  data.numbuttons = 2;
  data.buttons = buttons;
  int answer = 1;
  if (SDL_ShowMessageBox(&data, &answer) != 0) return true;
  return answer == 1;
}
