// The window road of the win32 backend (the program itself always takes full
// screen, which the smoke run of magazine.exe shows): a captioned and a pop-up
// window with an off-screen surface blitted through a clipper, a pixel format
// some converter takes, a frame that reaches the screen, mouse positions in frame
// pixels, activation, and a close request that is only reported.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "display/row_converters.h"
#include "platform/window.h"

namespace {

constexpr int width = 320, height = 200;

// Pumps for a while and keeps what came.
std::vector<WindowEvent> pump(int milliseconds) {
  std::vector<WindowEvent> events;
  for (int waited = 0; waited < milliseconds; waited += 10) {
    WindowEvent event;
    while (window_next_event(&event)) events.push_back(event);
    Sleep(10);
  }
  return events;
}

bool has(const std::vector<WindowEvent>& events, WindowEvent::Kind kind) {
  for (const WindowEvent& event : events)
    if (event.kind == kind) return true;
  return false;
}

// One colour over the whole frame, through the converter of the surface's format.
void present_colour(uint32_t colour) {
  SurfaceFormat format = window_surface_format();
  RowConverter convert = row_converter_for(format.bits_per_pixel, format.red_mask, format.green_mask, format.blue_mask);
  ASSERT_NE(convert, nullptr) << format.bits_per_pixel << " bits";
  std::vector<uint32_t> row(width, colour);
  uint8_t* pixels = nullptr;
  int pitch = 0;
  ASSERT_TRUE(window_lock(&pixels, &pitch));
  for (int y = 0; y < height; ++y) convert(row.data(), pixels + y * pitch, width);
  window_unlock();
  window_present(true);
}

// What the screen shows at a point of the client area, as 0x00RRGGBB.
uint32_t screen_at(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  HDC screen = GetDC(nullptr);
  COLORREF pixel = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return (uint32_t(GetRValue(pixel)) << 16) | (uint32_t(GetGValue(pixel)) << 8) | GetBValue(pixel);
}

HWND our_window(const char* title) { return FindWindowA(title, title); }

TEST(Win32Window, ACaptionedWindowShowsTheFrameAndReportsTheMouseInFramePixels) {
  ASSERT_TRUE(window_open("WINDOW ROAD TEST", width, height, WindowKind::captioned));
  HWND window = our_window("WINDOW ROAD TEST");
  ASSERT_NE(window, nullptr);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right - client.left, width);
  EXPECT_EQ(client.bottom - client.top, height);
  EXPECT_NE(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION, 0);

  // Shown and made active while it opened: the news waits for the first pump.
  std::vector<WindowEvent> events = pump(300);
  bool activated = false;
  for (const WindowEvent& event : events)
    if (event.kind == WindowEvent::activate) activated = event.active != 0;
  EXPECT_TRUE(activated);
  present_colour(0x3366CC);
  pump(100);
  present_colour(0x3366CC);
  EXPECT_EQ(screen_at(window, width / 2, height / 2), 0x3366CCu);
  EXPECT_EQ(screen_at(window, 1, 1), 0x3366CCu);

  // What the window procedure makes of the system's mouse messages.
  PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(100, 50));
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 50));
  PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), 0);
  PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA / 2)), 0);   // a fine wheel's part-notch
  PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 0), 0);
  PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(WORD(-5), 5000));   // captured, outside the client area
  events = pump(200);
  std::vector<WindowEvent> mouse;
  for (const WindowEvent& event : events)
    if (event.kind != WindowEvent::activate) mouse.push_back(event);
  ASSERT_GE(mouse.size(), 6u);
  // The real pointer may add moves of its own: look at ours, in order.
  size_t at = 0;
  auto next = [&](WindowEvent::Kind kind) -> const WindowEvent& {
    while (at + 1 < mouse.size() && mouse[at].kind != kind) ++at;
    return mouse[at++];
  };
  const WindowEvent& move = next(WindowEvent::mouse_move);
  EXPECT_EQ(move.x, 100);
  EXPECT_EQ(move.y, 50);
  EXPECT_EQ(next(WindowEvent::left_down).kind, WindowEvent::left_down);
  EXPECT_EQ(next(WindowEvent::wheel).wheel_delta, -1);
  EXPECT_EQ(next(WindowEvent::wheel).wheel_delta, -1);
  EXPECT_EQ(next(WindowEvent::wheel).wheel_delta, 0);
  const WindowEvent& outside = next(WindowEvent::mouse_move);
  EXPECT_EQ(outside.x, 0);
  EXPECT_EQ(outside.y, height - 1);

  // The close button's request is reported, not acted on: the window stays.
  PostMessageA(window, WM_CLOSE, 0, 0);
  events = pump(100);
  EXPECT_TRUE(has(events, WindowEvent::close_request));
  EXPECT_TRUE(IsWindow(window));
  window_close();
  EXPECT_FALSE(IsWindow(window));
}

TEST(Win32Window, APopUpWindowHasNoCaptionAndShowsTheFrameToo) {
  ASSERT_TRUE(window_open("POPUP ROAD TEST", width, height, WindowKind::popup));
  HWND window = our_window("POPUP ROAD TEST");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION, 0);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right - client.left, width);
  EXPECT_EQ(client.bottom - client.top, height);
  pump(300);
  present_colour(0xCC9933);
  pump(100);
  present_colour(0xCC9933);
  EXPECT_EQ(screen_at(window, width / 2, height / 2), 0xCC9933u);
  window_close();
}

}  // namespace
