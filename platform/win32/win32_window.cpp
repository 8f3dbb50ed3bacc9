// The window on user32 and DirectDraw (ddraw.dll, loaded at run time, so the
// program starts where it is missing and simply fails to open its display).
//
// Full screen takes the display exclusively and changes its mode to the frame's
// size (32, else 24, else 16 bits); frames are written into the back buffer of a
// flip chain and flipped. A window gets an off-screen surface of the frame's
// size that is blitted into the client area through a clipper. The window
// procedure turns messages into WindowEvents for display_update's pump; keys are
// read from the system's own key state (win32_keys.cpp), not from messages.
#include <windows.h>
#include <ddraw.h>
#include <windowsx.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "platform/message_box.h"
#include "platform/window.h"
#include "platform/win32/win32_backend.h"

namespace {

using DirectDrawCreateFunction = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);

constexpr int event_capacity = 256;

struct Win32Window {
  HMODULE library = nullptr;
  IDirectDraw* directdraw = nullptr;
  IDirectDrawSurface* primary = nullptr;
  IDirectDrawSurface* draw_target = nullptr;   // back buffer, or the off-screen surface
  IDirectDrawSurface* offscreen = nullptr;
  IDirectDrawClipper* clipper = nullptr;
  HWND window = nullptr;
  char class_name[256] = {};
  bool class_registered = false;
  bool windowed = false;
  int width = 0, height = 0;
  SurfaceFormat format;

  // Written by the window procedure, read by the pump; both on the main thread.
  WindowEvent events[event_capacity];
  int first_event = 0, event_count = 0;
};

Win32Window win;

// Why the last open failed, for the one line on stderr.
const char* open_failure = "";

bool failed(const char* why) {
  open_failure = why;
  return false;
}

bool report_open_failure(const char* why) {
  std::fprintf(stderr, "magazine: no display could be opened: %s\n", why && *why ? why : "unknown reason");
  return false;
}

bool cursor_shown = true;
bool screen_saver_saved = false;
BOOL screen_saver_was_active = FALSE;

template <typename T>
void release(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

// Quit requests from outside the window: a console's Ctrl+C or close, the end
// of the session. The console's handler runs on a thread of its own; the pump
// ends the program on the main thread, as its own end does.
std::atomic<bool> quit_requested{false};
constexpr UINT quit_status_at_once = 128 + 2;   // as a second Ctrl+C would give elsewhere
constexpr DWORD orderly_end_ms = 3000;

[[noreturn]] void end_for_quit_request() {
  win32_wave_out_silence_all();
  window_close();   // the desktop's display mode comes back with it
  screen_saver_allow(true);
  ExitProcess(0);
}

BOOL WINAPI on_console_request(DWORD) {
  if (quit_requested.exchange(true)) ExitProcess(quit_status_at_once);
  // This thread is the watchdog: a hung end must not keep the process.
  Sleep(orderly_end_ms);
  ExitProcess(quit_status_at_once);
}

void post(const WindowEvent& event) {
  if (win.event_count == event_capacity) return;   // nobody pumps: the oldest news matters most
  win.events[(win.first_event + win.event_count) % event_capacity] = event;
  ++win.event_count;
}

void post_kind(WindowEvent::Kind kind) {
  WindowEvent event;
  event.kind = kind;
  post(event);
}

// Client coordinates to frame pixels: a window whose client area is not the
// frame's size shows the frame stretched.
int32_t to_frame(int value, int client_size, int frame_size) {
  if (client_size > 0 && client_size != frame_size) value = int(int64_t(value) * frame_size / client_size);
  return std::clamp(value, 0, std::max(frame_size - 1, 0));
}

void present_in_window() {
  if (!win.primary || !win.offscreen) return;
  RECT source{0, 0, win.width, win.height};
  RECT client;
  GetClientRect(win.window, &client);
  POINT origin{0, 0};
  ClientToScreen(win.window, &origin);
  RECT destination{client.left + origin.x, client.top + origin.y, client.right + origin.x, client.bottom + origin.y};
  win.primary->Blt(&destination, win.offscreen, &source, DDBLT_WAIT, nullptr);
}

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  WindowEvent event;
  switch (message) {
    case WM_MOUSEMOVE: {
      RECT client{};
      GetClientRect(window, &client);
      event.kind = WindowEvent::mouse_move;
      event.x = to_frame(GET_X_LPARAM(lparam), client.right - client.left, win.width);
      event.y = to_frame(GET_Y_LPARAM(lparam), client.bottom - client.top, win.height);
      post(event);
      return 0;
    }
    case WM_LBUTTONDOWN: post_kind(WindowEvent::left_down); return 0;
    case WM_LBUTTONUP: post_kind(WindowEvent::left_up); return 0;
    case WM_RBUTTONDOWN: post_kind(WindowEvent::right_down); return 0;
    case WM_RBUTTONUP: post_kind(WindowEvent::right_up); return 0;
    case WM_MOUSEWHEEL: {
      // Whole notches, but a fine wheel's part-notch keeps its direction.
      int delta = GET_WHEEL_DELTA_WPARAM(wparam);
      event.kind = WindowEvent::wheel;
      event.wheel_delta = delta < 0 ? std::min(-1, delta / WHEEL_DELTA) : delta / WHEEL_DELTA;
      post(event);
      return 0;
    }
    case WM_PAINT:
      if (win.windowed) present_in_window();
      return DefWindowProcA(window, message, wparam, lparam);
    case WM_ACTIVATEAPP:
      event.kind = WindowEvent::activate;
      event.active = int32_t(wparam);
      post(event);
      return 0;
    case WM_CLOSE: post_kind(WindowEvent::close_request); return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
      // Windows may end the process any time after this returns.
      if (wparam) end_for_quit_request();
      return 0;
    case WM_KEYDOWN:
      event.kind = WindowEvent::key_down;
      event.key = int32_t(wparam & 0xFF);
      post(event);
      return 0;
    case WM_SYSCOMMAND:
      // F10 (tune 10) would open the window menu and stop every frame until
      // the next key: the program uses the key itself.
      if ((wparam & 0xFFF0) == SC_KEYMENU) return 0;
      return DefWindowProcA(window, message, wparam, lparam);
    default: return DefWindowProcA(window, message, wparam, lparam);
  }
}

bool register_class(const char* title, UINT style, HCURSOR cursor) {
  lstrcpynA(win.class_name, title, sizeof win.class_name);
  WNDCLASSA window_class{};
  window_class.style = style;
  window_class.lpfnWndProc = window_procedure;
  window_class.hCursor = cursor;
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  window_class.lpszClassName = win.class_name;
  win.class_registered = RegisterClassA(&window_class) != 0;
  return win.class_registered;
}

bool open_full_screen(const char* title) {
  if (!register_class(title, 0, nullptr)) return failed("the window class could not be registered");
  SetCursor(nullptr);
  win.window = CreateWindowExA(0, win.class_name, title, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (!win.window) return failed("the window could not be created");
  if (FAILED(win.directdraw->SetCooperativeLevel(win.window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE)))
    return failed("DirectDraw refused the display to us (exclusive full screen)");
  const DWORD depths[] = {32, 24, 16};
  bool mode_set = false;
  for (DWORD depth : depths)
    if (!mode_set) mode_set = SUCCEEDED(win.directdraw->SetDisplayMode(DWORD(win.width), DWORD(win.height), depth));
  if (!mode_set) return failed("the display has no 800 x 600 mode at 32, 24 or 16 bits");

  DDSURFACEDESC description{};
  description.dwSize = sizeof description;
  description.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
  description.dwBackBufferCount = 2;
  if (FAILED(win.directdraw->CreateSurface(&description, &win.primary, nullptr))) {
    description.dwBackBufferCount = 1;
    if (FAILED(win.directdraw->CreateSurface(&description, &win.primary, nullptr)))
      return failed("DirectDraw could not make a flip chain in video memory");
  }
  DDSCAPS back_buffer{DDSCAPS_BACKBUFFER};
  if (FAILED(win.primary->GetAttachedSurface(&back_buffer, &win.draw_target)))
    return failed("the flip chain has no back buffer");
  // Windows' own DirectDraw flips the display whether the window is shown or
  // not; a DirectDraw that presents through the window (Wine's) shows nothing
  // until it is. By now it covers the screen.
  ShowWindow(win.window, SW_SHOWNORMAL);
  return true;
}

bool open_window(const char* title, bool popup) {
  if (!register_class(title, CS_HREDRAW | CS_VREDRAW, LoadCursorA(nullptr, IDC_ARROW)))
    return failed("the window class could not be registered");
  // The outer size comes from the style the window really has, so that the
  // client area is exactly the frame and the blit copies it 1:1 (sizing it for
  // a thick-framed window would stretch the frame by the border's difference).
  DWORD style = popup ? WS_POPUP | WS_VISIBLE : WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, win.width, win.height};
  AdjustWindowRect(&frame, style, FALSE);
  int outer_width = frame.right - frame.left, outer_height = frame.bottom - frame.top;
  int x = (GetSystemMetrics(SM_CXSCREEN) - outer_width) >> 1;
  int y = (GetSystemMetrics(SM_CYSCREEN) - outer_height) >> 1;
  win.window = CreateWindowExA(0, win.class_name, title, style, x, y, outer_width, outer_height, nullptr, nullptr,
                               nullptr, nullptr);
  if (!win.window) return failed("the window could not be created");
  ShowWindow(win.window, SW_SHOWNORMAL);
  if (FAILED(win.directdraw->SetCooperativeLevel(win.window, DDSCL_NORMAL)))
    return failed("DirectDraw refused the window");

  DDSURFACEDESC description{};
  description.dwSize = sizeof description;
  description.dwFlags = DDSD_CAPS;
  description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY;
  if (FAILED(win.directdraw->CreateSurface(&description, &win.primary, nullptr)))
    return failed("DirectDraw could not make the primary surface");

  description = DDSURFACEDESC{};
  description.dwSize = sizeof description;
  description.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  description.dwWidth = DWORD(win.width);
  description.dwHeight = DWORD(win.height);
  if (FAILED(win.directdraw->CreateSurface(&description, &win.offscreen, nullptr)))
    return failed("DirectDraw could not make the off-screen surface");

  if (FAILED(win.directdraw->CreateClipper(0, &win.clipper, nullptr)) || FAILED(win.clipper->SetHWnd(0, win.window)) ||
      FAILED(win.primary->SetClipper(win.clipper)))
    return failed("DirectDraw could not clip to the window");
  win.draw_target = win.offscreen;
  return true;
}

// The surface's layout as the display layer matches it against its converters;
// anything but an RGB format reads as 0 bits, which no converter takes.
SurfaceFormat read_format() {
  DDPIXELFORMAT pixel_format{};
  pixel_format.dwSize = sizeof pixel_format;
  if (FAILED(win.primary->GetPixelFormat(&pixel_format)) || !(pixel_format.dwFlags & DDPF_RGB))
    return SurfaceFormat{0, 0, 0, 0};
  return SurfaceFormat{int(pixel_format.dwRGBBitCount), pixel_format.dwRBitMask, pixel_format.dwGBitMask,
                       pixel_format.dwBBitMask};
}

}  // namespace

bool window_open(const char* title, int width, int height, WindowKind kind) {
  static const bool console_requests_caught = SetConsoleCtrlHandler(on_console_request, TRUE) != 0;
  (void)console_requests_caught;
  win.width = width;
  win.height = height;
  win.windowed = kind != WindowKind::full_screen;
  win.library = LoadLibraryA("ddraw.dll");
  if (!win.library) return report_open_failure("ddraw.dll could not be loaded");
  // Through void*: the address is typeless until we say what it is.
  auto create = reinterpret_cast<DirectDrawCreateFunction>(
      reinterpret_cast<void*>(GetProcAddress(win.library, "DirectDrawCreate")));
  if (!create || FAILED(create(nullptr, &win.directdraw, nullptr))) {
    win.directdraw = nullptr;
    window_close();
    return report_open_failure("DirectDraw could not be started");
  }
  bool opened = win.windowed ? open_window(title, kind == WindowKind::popup) : open_full_screen(title);
  // Whatever was made is given back, and the desktop's mode with it.
  if (!opened) {
    window_close();
    return report_open_failure(open_failure);
  }
  win.format = read_format();
  return true;
}

SurfaceFormat window_surface_format() { return win.format; }

bool window_lock(uint8_t** pixels, int* pitch) {
  if (!win.draw_target) return false;
  // Surfaces are lost when the display mode changes under us or the program
  // is switched away from; Restore brings them back (and does nothing otherwise).
  win.primary->Restore();
  if (win.windowed) win.offscreen->Restore();
  DDSURFACEDESC description{};
  description.dwSize = sizeof description;
  if (FAILED(win.draw_target->Lock(nullptr, &description, DDLOCK_WAIT, nullptr))) return false;
  *pixels = static_cast<uint8_t*>(description.lpSurface);
  *pitch = int(description.lPitch);
  return true;
}

void window_unlock() {
  if (win.draw_target) win.draw_target->Unlock(nullptr);
}

void window_present(bool wait_for_vertical_sync) {
  if (win.windowed)
    present_in_window();
  else if (win.primary)
    win.primary->Flip(nullptr, wait_for_vertical_sync ? DDFLIP_WAIT : DDFLIP_NOVSYNC);
}

double window_refresh_hz() {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  // 0 and 1 stand for the hardware's default rate, which nobody tells.
  if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) || mode.dmDisplayFrequency <= 1) return 0;
  return double(mode.dmDisplayFrequency);
}

bool window_next_event(WindowEvent* event) {
  if (quit_requested.load()) end_for_quit_request();
  MSG message;
  while (win.event_count == 0 && win.window && PeekMessageA(&message, win.window, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (win.event_count == 0) return false;
  *event = win.events[win.first_event];
  win.first_event = (win.first_event + 1) % event_capacity;
  --win.event_count;
  return true;
}

void window_close() {
  release(win.offscreen);
  release(win.clipper);
  release(win.primary);   // the flip chain's back buffers go with it
  win.draw_target = nullptr;
  if (win.directdraw) {
    win.directdraw->RestoreDisplayMode();
    win.directdraw->SetCooperativeLevel(win.window, DDSCL_NORMAL);
    release(win.directdraw);
  }
  if (win.window) DestroyWindow(win.window);
  if (win.class_registered) UnregisterClassA(win.class_name, nullptr);
  if (win.library) FreeLibrary(win.library);
  win = Win32Window{};
}

void window_show_cursor(bool shown) {
  // ShowCursor counts: only a change of our own wish may move the count.
  if (shown == cursor_shown) return;
  cursor_shown = shown;
  ShowCursor(shown ? TRUE : FALSE);
}

void screen_saver_allow(bool allowed) {
  if (!allowed) {
    if (!screen_saver_saved)
      screen_saver_saved = SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &screen_saver_was_active, 0) != 0;
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0);
    return;
  }
  // Back on only if it was on before we switched it off.
  if (screen_saver_saved && screen_saver_was_active) SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, 0);
  screen_saver_saved = false;
}

void message_box(const char* caption, const char* text) { MessageBoxA(nullptr, text, caption, MB_TASKMODAL); }

bool message_box_yes_no(const char* caption, const char* text) {
  return MessageBoxA(nullptr, text, caption, MB_YESNO | MB_ICONQUESTION) != IDNO;
}
