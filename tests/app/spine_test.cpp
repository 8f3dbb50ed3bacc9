// The program's flow from start to end, driven through magcapture exactly as a
// reader would drive the real window.
#include <gtest/gtest.h>

#include "tests/support/capture_run.h"

namespace {

using Screens = std::vector<std::string>;

TEST(Spine, EscapeInTheIntroThenInTheMagazineEndsWithStatusZero) {
  // The change to the magazine takes 3 s of noise flashes: strike after them.
  CaptureRun run = run_capture("wait 2\nkey escape\nwait 4\nkey escape\nwait 1\n", "escape_twice");
  EXPECT_EQ(run.status, 0) << run.error_output;
  EXPECT_EQ(run.screen_sequence(), (Screens{"release", "flash", "intro", "flash", "magazine"}));
}

TEST(Spine, TheIntroWaitsUntilTheStartingKeyIsReleased) {
  CaptureRun run = run_capture("hold escape\nwait 1.5\nrelease escape\nwait 1\n", "release_wait");
  EXPECT_EQ(run.status, 3);   // the script ran out with the intro still running
  ASSERT_FALSE(run.frames.empty());
  double first_intro = -1;
  for (const auto& frame : run.frames)
    if (frame.at("screen") != "release") {
      first_intro = std::stod(frame.at("time"));
      break;
    }
  EXPECT_GE(first_intro, 1.5);
  EXPECT_LT(first_intro, 1.5 + 0.3);   // the held key did not end the intro either
  EXPECT_EQ(run.screen_sequence(), (Screens{"release", "flash"}));
}

TEST(Spine, AHeldButtonAlsoHoldsTheReleaseWait) {
  CaptureRun run = run_capture("button down\nwait 1\nbutton up\nwait 2.5\n", "release_wait_button");
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.screen_sequence(), (Screens{"release", "flash", "intro"}));
}

TEST(Spine, EscapeHeldFromTheIntroIntoTheMagazineDoesNotEndIt) {
  CaptureRun held = run_capture("wait 2\nhold escape\nwait 5\n", "escape_held");
  EXPECT_EQ(held.status, 3);
  EXPECT_EQ(held.frames.back().at("screen"), "magazine");
  CaptureRun struck_again = run_capture("wait 2\nhold escape\nwait 5\nrelease escape\nwait 0.1\nkey escape\nwait 1\n",
                                        "escape_held_then_struck");
  EXPECT_EQ(struck_again.status, 0);
}

TEST(Spine, TheLeftButtonLeavesTheIntro) {
  CaptureRun run = run_capture("wait 2\nclick 400 300\nwait 4\n", "click_intro");
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.frames.back().at("screen"), "magazine");
}

TEST(Spine, FunctionKeysChooseTheTuneOnlyInTheIntro) {
  CaptureRun run = run_capture("wait 2\nkey f3\nwait 0.5\nkey f12\nwait 0.5\nkey escape\nwait 3.5\nkey f5\nwait 0.5\n",
                               "tunes");
  ASSERT_FALSE(run.frames.empty());
  EXPECT_EQ(run.frames.back().at("current_tune"), "12");
}

TEST(Spine, QuitEndsTheRunWithStatusThree) {
  CaptureRun run = run_capture("wait 0.5\nquit\nwait 10\n", "quit");
  EXPECT_EQ(run.status, 3);
  ASSERT_FALSE(run.frames.empty());
  EXPECT_LT(std::stod(run.frames.back().at("time")), 1.0);
}

TEST(Spine, ABadScriptIsRefusedWithItsLineNumber) {
  CaptureRun run = run_capture("wait 1\nkey spacebar\n", "bad_script");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.error_output.find("line 2"), std::string::npos) << run.error_output;
}

TEST(Spine, TheSameScriptAndSeedGiveIdenticalOutputs) {
  const char* script = "wait 2\nshot intro.png\nkey escape\nwait 4\nshot magazine.png\nkey escape\nwait 1\n";
  CaptureRun first = run_capture(script, "same_a", "--seed 42");
  CaptureRun second = run_capture(script, "same_b", "--seed 42");
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(first.file("trace.tsv"), second.file("trace.tsv"));
  EXPECT_EQ(first.file("audio.wav"), second.file("audio.wav"));
  EXPECT_EQ(first.file("intro.png"), second.file("intro.png"));
  EXPECT_EQ(first.file("magazine.png"), second.file("magazine.png"));
  EXPECT_FALSE(first.file("magazine.png").empty());
}

}  // namespace
