// The display layer on the virtual window: opening, the event handler's mouse,
// wheel and activation state, quick clicks, the close rules, and the pacing of
// presents that do not wait for the display.
#include <gtest/gtest.h>

#include <vector>

#include "display/display.h"
#include "platform/clock.h"
#include "platform/virtual.h"

namespace {

class Display : public ::testing::Test {
 protected:
  void SetUp() override {
    virtual_reset();
    frame.assign(800 * 600, 0x00336699);
  }
  void TearDown() override { display_close(display); }
  bool open_full_screen() {
    display_set_close_on_escape(display, false);
    display_configure(display, {.ask = false, .question = "QUESTION", .windowed = false, .popup = true});
    return display_open(display, "TITLE", 800, 600);
  }
  void post(WindowEvent::Kind kind, int x = 0, int y = 0, int delta = 0) {
    WindowEvent event;
    event.kind = kind;
    event.x = x;
    event.y = y;
    event.wheel_delta = delta;
    virtual_post_event(event);
  }
  bool update() { return display_update(display, frame.data()); }
  DisplayLayer display;
  std::vector<uint32_t> frame;
};

TEST_F(Display, AFormatWithoutAConverterFailsToOpen) {
  virtual_set_surface_format(SurfaceFormat{8, 0, 0, 0});
  EXPECT_FALSE(open_full_screen());
  EXPECT_FALSE(display_window(display));
  EXPECT_FALSE(virtual_window_is_open());
}

TEST_F(Display, EveryFormatPresentsTheSameColours) {
  for (SurfaceFormat format : {SurfaceFormat{32, 0xFF, 0xFF00, 0xFF0000}, SurfaceFormat{24, 0xFF0000, 0xFF00, 0xFF},
                               SurfaceFormat{16, 0x7C00, 0x3E0, 0x1F}}) {
    virtual_reset();
    display = DisplayLayer{};
    virtual_set_surface_format(format);
    ASSERT_TRUE(open_full_screen());
    frame[123] = 0x00F0E0D0;
    EXPECT_TRUE(update());
    int w, h;
    std::vector<uint32_t> shown = virtual_presented_frame(&w, &h);
    ASSERT_EQ(w, 800);
    ASSERT_EQ(h, 600);
    uint32_t keep = format.bits_per_pixel == 16 ? 0xF8F8F8 : 0xFFFFFF;
    EXPECT_EQ(shown[123], 0x00F0E0D0 & keep);
    EXPECT_EQ(shown[800 * 599 + 799], 0x00336699 & keep);
    display_close(display);
  }
}

TEST_F(Display, MouseButtonsAndPositionFollowTheEvents) {
  ASSERT_TRUE(open_full_screen());
  post(WindowEvent::mouse_move, 321, 456);
  post(WindowEvent::left_down);
  post(WindowEvent::right_down);
  update();
  EXPECT_EQ(display_mouse_x(display), 321u);
  EXPECT_EQ(display_mouse_y(display), 456u);
  EXPECT_EQ(display_mouse_left(display), 1u);
  EXPECT_EQ(display_mouse_right(display), 1u);
  post(WindowEvent::left_up);
  update();
  EXPECT_EQ(display_mouse_left(display), 0u);   // a press a frame has seen ends with its release
  EXPECT_EQ(display_mouse_right(display), 1u);
}

TEST_F(Display, AClickWithinOneFrameIsDownForExactlyOneFrame) {
  ASSERT_TRUE(open_full_screen());
  update();
  post(WindowEvent::left_down);
  post(WindowEvent::left_up);
  update();
  EXPECT_EQ(display_mouse_left(display), 1u);
  update();
  EXPECT_EQ(display_mouse_left(display), 0u);
  // Two quick clicks in one frame are still one press for that frame.
  post(WindowEvent::left_down);
  post(WindowEvent::left_up);
  post(WindowEvent::left_down);
  post(WindowEvent::left_up);
  update();
  EXPECT_EQ(display_mouse_left(display), 1u);
  update();
  EXPECT_EQ(display_mouse_left(display), 0u);
  // Released, then pressed again and held within one frame: it stays down.
  post(WindowEvent::left_down);
  post(WindowEvent::left_up);
  post(WindowEvent::left_down);
  update();
  update();
  EXPECT_EQ(display_mouse_left(display), 1u);
}

TEST_F(Display, TheWheelCountsStepsAndADeltaOfZeroCountsUp) {
  ASSERT_TRUE(open_full_screen());
  post(WindowEvent::wheel, 0, 0, 1);
  post(WindowEvent::wheel, 0, 0, 0);
  post(WindowEvent::wheel, 0, 0, -1);
  post(WindowEvent::wheel, 0, 0, -3);
  update();
  EXPECT_EQ(display_mouse_wheel(display), 0);   // +1 +1 -1 -1
  display_set_mouse_wheel(display, 5, 100);
  post(WindowEvent::wheel, 0, 0, -1);
  update();
  EXPECT_EQ(display_mouse_wheel(display), 95);
}

TEST_F(Display, WhileInactiveUpdatesPumpButShowNothing) {
  ASSERT_TRUE(open_full_screen());
  update();
  uint64_t shown = virtual_presented_count();
  post(WindowEvent::activate);   // active = 0
  post(WindowEvent::mouse_move, 10, 20);
  EXPECT_TRUE(update());
  EXPECT_EQ(virtual_presented_count(), shown);
  EXPECT_EQ(display_mouse_y(display), 20u);   // the pump still ran
  WindowEvent back;
  back.kind = WindowEvent::activate;
  back.active = 1;
  virtual_post_event(back);
  update();
  EXPECT_EQ(virtual_presented_count(), shown + 1);
}

TEST_F(Display, WithoutCloseOnEscapeCloseRequestsAndEscapeAreSwallowed) {
  ASSERT_TRUE(open_full_screen());
  post(WindowEvent::close_request);
  WindowEvent escape;
  escape.kind = WindowEvent::key_down;
  escape.key = 0x1B;
  virtual_post_event(escape);
  EXPECT_TRUE(update());   // still here: no process end
  EXPECT_TRUE(virtual_window_is_open());
}

TEST_F(Display, AnEmptyQuestionKeepsTheDefaultAndAYesStillOpensFullScreen) {
  display_configure(display, {.ask = true});   // the virtual user answers yes: full screen
  EXPECT_EQ(display.question, "Fullscreen Mode ?");
  ASSERT_TRUE(display_open(display, "T", 800, 600));
  EXPECT_TRUE(display_window(display));
  EXPECT_FALSE(display.windowed);
}

TEST_F(Display, WindowModeAlsoSleepsAMillisecondPerUpdate) {
  display_configure(display, {.windowed = true});
  ASSERT_TRUE(display_open(display, "T", 800, 600));
  int64_t before = virtual_now_ns();
  update();
  // One present at 60 Hz plus the 1 ms of window mode.
  EXPECT_EQ(virtual_now_ns() - before, 16666666 + 1000000);
}

// A frame loop as the program's: draw (no time), update, sleep 1 ms. Returns the
// presents per second over the last `measured` of `seconds` of virtual time.
double frames_per_second(DisplayLayer& display, std::vector<uint32_t>& frame, double seconds, double measured) {
  uint64_t counted_from = 0;
  double start = clock_seconds();
  while (clock_seconds() - start < seconds) {
    if (counted_from == 0 && clock_seconds() - start >= seconds - measured) counted_from = virtual_presented_count();
    display_update(display, frame.data());
    sleep_ms(1);
  }
  return double(virtual_presented_count() - counted_from) / measured;
}

TEST_F(Display, PresentsThatDoNotWaitArePacedToTheReportedRefresh) {
  for (double hertz : {60.0, 144.0}) {
    virtual_reset();
    display = DisplayLayer{};
    virtual_set_refresh(hertz);
    virtual_set_presents_wait(false);
    ASSERT_TRUE(open_full_screen());
    double fps = frames_per_second(display, frame, 3.0, 2.0);
    EXPECT_GE(fps, hertz * 0.97) << hertz;   // paced, not slowed down
    EXPECT_LE(fps, hertz * 1.02) << hertz;
    display_close(display);
  }
}

TEST_F(Display, PresentsThatWaitAreNeverDelayed) {
  virtual_set_refresh(60);
  ASSERT_TRUE(open_full_screen());
  for (int i = 0; i < 120; ++i) {
    int64_t before = virtual_now_ns();
    update();
    int64_t took = virtual_now_ns() - before;
    EXPECT_GE(took, 16666666);
    EXPECT_LE(took, 16666667);
  }
}

TEST_F(Display, WithoutFlipWaitPresentsAreNotPaced) {
  virtual_set_presents_wait(false);
  ASSERT_TRUE(open_full_screen());
  display_set_flip_wait(display, false);
  EXPECT_GT(frames_per_second(display, frame, 2.0, 1.0), 500.0);   // only the 1 ms sleeps bound it
}

}  // namespace
