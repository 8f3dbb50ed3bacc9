// The display layer on the virtual window: opening, the event handler's mouse,
// wheel and activation state, and the close rules.
#include <gtest/gtest.h>

#include <vector>

#include "display/display.h"
#include "platform/virtual.h"

namespace {

class Display : public ::testing::Test {
 protected:
  void SetUp() override {
    virtual_reset();
    display_reset_for_test();
    frame.assign(800 * 600, 0x00336699);
  }
  void TearDown() override { display_close(); }
  bool open_full_screen() {
    display_set_close_on_escape(0);
    display_configure(0, "QUESTION", 0, 1);
    return display_open("TITLE", 800, 600) == 1;
  }
  void post(WindowEvent::Kind kind, int x = 0, int y = 0, int delta = 0) {
    WindowEvent event;
    event.kind = kind;
    event.x = x;
    event.y = y;
    event.wheel_delta = delta;
    virtual_post_event(event);
  }
  std::vector<uint32_t> frame;
};

TEST_F(Display, AFormatWithoutAConverterFailsToOpen) {
  virtual_set_surface_format(SurfaceFormat{8, 0, 0, 0});
  EXPECT_FALSE(open_full_screen());
  EXPECT_EQ(display_window(), 0u);
}

TEST_F(Display, EveryFormatPresentsTheSameColours) {
  for (SurfaceFormat format : {SurfaceFormat{32, 0xFF, 0xFF00, 0xFF0000}, SurfaceFormat{24, 0xFF0000, 0xFF00, 0xFF},
                               SurfaceFormat{16, 0x7C00, 0x3E0, 0x1F}}) {
    virtual_reset();
    display_reset_for_test();
    virtual_set_surface_format(format);
    ASSERT_TRUE(open_full_screen());
    frame[123] = 0x00F0E0D0;
    EXPECT_EQ(display_update(frame.data()), 1);
    int w, h;
    std::vector<uint32_t> shown = virtual_presented_frame(&w, &h);
    ASSERT_EQ(w, 800);
    ASSERT_EQ(h, 600);
    uint32_t keep = format.bits_per_pixel == 16 ? 0xF8F8F8 : 0xFFFFFF;
    EXPECT_EQ(shown[123], 0x00F0E0D0 & keep);
    EXPECT_EQ(shown[800 * 599 + 799], 0x00336699 & keep);
    display_close();
  }
}

TEST_F(Display, MouseButtonsAndPositionFollowTheEvents) {
  ASSERT_TRUE(open_full_screen());
  post(WindowEvent::mouse_move, 321, 456);
  post(WindowEvent::left_down);
  post(WindowEvent::right_down);
  display_update(frame.data());
  EXPECT_EQ(display_mouse_x(), 321u);
  EXPECT_EQ(display_mouse_y(), 456u);
  EXPECT_EQ(display_mouse_left(), 1u);
  EXPECT_EQ(display_mouse_right(), 1u);
  post(WindowEvent::left_up);
  display_update(frame.data());
  EXPECT_EQ(display_mouse_left(), 0u);
  EXPECT_EQ(display_mouse_right(), 1u);
}

TEST_F(Display, TheWheelCountsStepsAndADeltaOfZeroCountsUp) {
  ASSERT_TRUE(open_full_screen());
  post(WindowEvent::wheel, 0, 0, 1);
  post(WindowEvent::wheel, 0, 0, 0);
  post(WindowEvent::wheel, 0, 0, -1);
  post(WindowEvent::wheel, 0, 0, -3);
  display_update(frame.data());
  EXPECT_EQ(display_mouse_wheel(), 0);   // +1 +1 -1 -1
  display_set_mouse_wheel(5, 100);
  post(WindowEvent::wheel, 0, 0, -1);
  display_update(frame.data());
  EXPECT_EQ(display_mouse_wheel(), 95);
}

TEST_F(Display, WhileInactiveUpdatesPumpButShowNothing) {
  ASSERT_TRUE(open_full_screen());
  display_update(frame.data());
  uint64_t shown = virtual_presented_count();
  post(WindowEvent::activate);   // active = 0
  post(WindowEvent::mouse_move, 10, 20);
  EXPECT_EQ(display_update(frame.data()), 1);
  EXPECT_EQ(virtual_presented_count(), shown);
  EXPECT_EQ(display_mouse_y(), 20u);   // the pump still ran
  WindowEvent back;
  back.kind = WindowEvent::activate;
  back.active = 1;
  virtual_post_event(back);
  display_update(frame.data());
  EXPECT_EQ(virtual_presented_count(), shown + 1);
}

TEST_F(Display, WithoutCloseOnEscapeCloseRequestsAndEscapeAreSwallowed) {
  ASSERT_TRUE(open_full_screen());
  post(WindowEvent::close_request);
  WindowEvent escape;
  escape.kind = WindowEvent::key_down;
  escape.key = 0x1B;
  virtual_post_event(escape);
  EXPECT_EQ(display_update(frame.data()), 1);   // still here: no process end
  EXPECT_TRUE(virtual_window_is_open());
}

TEST_F(Display, WhenAskedAYesStillOpens) {
  display_configure(1, "", 0, 0);   // the virtual user answers yes: full screen
  ASSERT_EQ(display_open("T", 800, 600), 1);
  EXPECT_EQ(display_window(), 1u);
}

TEST_F(Display, WindowModeAlsoSleepsAMillisecondPerUpdate) {
  display_configure(0, "", 1, 0);
  ASSERT_EQ(display_open("T", 800, 600), 1);
  int64_t before = virtual_now_ns();
  display_update(frame.data());
  // One present at 60 Hz plus the 1 ms of window mode.
  EXPECT_EQ(virtual_now_ns() - before, 16666666 + 1000000);
}

}  // namespace
