// The pacer on made-up present times: presents that wait for the display are
// left alone; presents that come faster than the refresh are spaced one refresh
// interval apart, without hurrying after a late frame.
#include <gtest/gtest.h>

#include <vector>

#include "display/frame_pacing.h"

namespace {

// A loop whose presents take `present` seconds and whose frames `work` seconds
// around them; returns when each frame was handed back after the pacer's wait.
std::vector<double> run(FramePacer& pacer, double seconds, double present, double work, double start = 100.0) {
  std::vector<double> releases;
  double now = start;
  while (now < start + seconds) {
    now += present;
    double release = frame_pacing_after_present(pacer, now);
    EXPECT_GE(release, now);
    now = release;
    releases.push_back(now);
    now += work;
  }
  return releases;
}

// Frames per second over the releases after `from`.
double rate_after(const std::vector<double>& releases, double from) {
  size_t first = 0;
  while (first < releases.size() && releases[first] < from) ++first;
  if (releases.size() - first < 2) return 0;
  return double(releases.size() - 1 - first) / (releases.back() - releases[first]);
}

TEST(FramePacing, PresentsThatWaitForTheDisplayAreNeverHeldBack) {
  FramePacer pacer;
  frame_pacing_start(pacer, 60);
  double now = 50.0;
  // A 60 Hz display with a little jitter, and a frame dropped now and then.
  for (int i = 0; i < 600; ++i) {
    now += 1.0 / 60 + ((i % 7) - 3) * 0.0004 + (i % 97 == 0 ? 1.0 / 60 : 0);
    EXPECT_EQ(frame_pacing_after_present(pacer, now), now) << i;
  }
  EXPECT_FALSE(pacer.pacing);
}

TEST(FramePacing, PresentsThatReturnAtOnceArePacedAfterHalfASecond) {
  FramePacer pacer;
  frame_pacing_start(pacer, 60);
  std::vector<double> releases = run(pacer, 3.0, 0.0005, 0.0015);   // 500 frames a second unpaced
  EXPECT_TRUE(pacer.pacing);
  EXPECT_NEAR(rate_after(releases, 100.6), 60.0, 0.1);
  // From then on every frame is handed back one refresh interval after the last.
  for (size_t i = 1; i < releases.size(); ++i) {
    if (releases[i - 1] <= 100.6) continue;
    EXPECT_NEAR(releases[i] - releases[i - 1], 1.0 / 60, 1e-9) << i;
  }
}

TEST(FramePacing, ThePaceFollowsTheReportedRefreshAndAnUnknownOneIs60) {
  for (double hertz : {0.0, 75.0, 144.0}) {
    FramePacer pacer;
    frame_pacing_start(pacer, hertz);
    std::vector<double> releases = run(pacer, 3.0, 0.0002, 0.001);
    EXPECT_NEAR(rate_after(releases, 100.6), hertz > 0 ? hertz : 60.0, 0.2) << hertz;
  }
}

TEST(FramePacing, FramesSlowerThanTheRefreshAreNotDelayed) {
  FramePacer pacer;
  frame_pacing_start(pacer, 60);
  double now = 10.0;
  for (int i = 0; i < 200; ++i) {
    now += 0.025;   // 40 frames a second, presents returning at once
    EXPECT_EQ(frame_pacing_after_present(pacer, now), now);
  }
}

TEST(FramePacing, ALateFrameStartsTheScheduleAfreshInsteadOfHurrying) {
  FramePacer pacer;
  frame_pacing_start(pacer, 60);
  std::vector<double> releases = run(pacer, 1.0, 0.0005, 0.0015);
  ASSERT_TRUE(pacer.pacing);
  double late = releases.back() + 0.1;   // a frame that took 100 ms
  EXPECT_EQ(frame_pacing_after_present(pacer, late), late);
  double next = late + 0.002;
  EXPECT_NEAR(frame_pacing_after_present(pacer, next), late + 1.0 / 60, 1e-9);
}

TEST(FramePacing, PacingStopsOnceThePresentsWaitAgain) {
  FramePacer pacer;
  frame_pacing_start(pacer, 60);
  run(pacer, 1.0, 0.0005, 0.0015, 100.0);
  ASSERT_TRUE(pacer.pacing);
  // vsync works again: each present now takes the rest of the refresh itself.
  std::vector<double> releases = run(pacer, 2.0, 1.0 / 60 - 0.002, 0.002, 101.0);
  EXPECT_FALSE(pacer.pacing);
  EXPECT_NEAR(rate_after(releases, 102.0), 60.0, 0.5);
}

}  // namespace
