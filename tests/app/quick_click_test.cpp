// A press and its release within one frame (a touchpad tap, a quick click, any
// input tool) counts as a press for one frame: in the intro, on the buttons, in
// the menu. Key strikes are unchanged by it.
#include <gtest/gtest.h>

#include "tests/support/capture_run.h"

namespace {

TEST(QuickClick, AClickWithinOneFrameLeavesTheIntro) {
  CaptureRun run = run_capture("wait 2\nmove 400 300\nbutton down\nbutton up\nwait 4\n", "quick_click_intro");
  EXPECT_EQ(run.status, 3);
  ASSERT_FALSE(run.frames.empty());
  EXPECT_EQ(run.frames.back().at("screen"), "magazine");
}

TEST(QuickClick, AClickWithinOneFrameOnChartsSwitchesTheMenu) {
  // Into the magazine, then the CHARTS button (skin 1 box 35, 65, 88 x 19).
  CaptureRun run = run_capture("wait 2\nkey escape\nwait 4\nmove 79 74\nwait 0.2\nbutton down\nbutton up\nwait 0.5\n",
                               "quick_click_charts");
  EXPECT_EQ(run.status, 3);
  ASSERT_FALSE(run.frames.empty());
  EXPECT_EQ(run.frames.back().at("menu_mode"), "1");
}

TEST(QuickClick, AClickWithinOneFrameOnAMenuEntryOpensItsPage) {
  // Articles menu, left row 2: "> Credits For The Charts", page 13.
  CaptureRun run = run_capture("wait 2\nkey escape\nwait 4\nmove 250 78\nwait 0.2\nbutton down\nbutton up\nwait 3.5\n",
                               "quick_click_menu");
  EXPECT_EQ(run.status, 3);
  ASSERT_FALSE(run.frames.empty());
  EXPECT_EQ(run.frames.back().at("page"), "13");
}

}  // namespace
