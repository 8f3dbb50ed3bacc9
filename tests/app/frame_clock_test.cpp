// The intro's and the magazine's clocks follow measured time, whatever the frame
// rate: the whole program runs in this process on the virtual backend at several
// refresh rates, and with presents that do not wait for the display (which the
// display layer then paces to the refresh).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/main_flow.h"
#include "platform/virtual.h"

namespace {

struct ClockSample {
  double time;
  Screen screen;
  double intro_phase;
  double magazine_phase;
};

const Program* watched = nullptr;
std::vector<ClockSample> samples;

void sample_clocks(uint64_t, double time) {
  samples.push_back({time, watched->screen, watched->app.intro_phase, watched->app.magazine_phase});
}

struct Rates {
  double intro_per_second = 0, intro_fps = 0;
  double magazine_per_second = 0, magazine_fps = 0;
};

// Growth per second and frames per second on one screen, leaving out its first
// second (the pacer needs half of one to decide).
void measure(Screen screen, double ClockSample::*phase, double* per_second, double* fps) {
  const ClockSample* first = nullptr;
  const ClockSample* last = nullptr;
  int frames = 0;
  double entered = -1;
  for (const ClockSample& sample : samples) {
    if (sample.screen != screen) continue;
    if (entered < 0) entered = sample.time;
    if (sample.time < entered + 1.0) continue;
    if (!first) first = &sample;
    last = &sample;
    ++frames;
  }
  ASSERT_TRUE(first && last && last->time > first->time);
  *per_second = (last->*phase - first->*phase) / (last->time - first->time);
  *fps = (frames - 1) / (last->time - first->time);
}

Rates run_at(double hertz, bool presents_wait) {
  virtual_reset();
  virtual_set_refresh(hertz);
  virtual_set_presents_wait(presents_wait);
  std::string error;
  // Intro from 1.5 s to 5 s, then 3 s of flashes, the magazine until 13 s.
  EXPECT_TRUE(virtual_load_script("wait 5\nkey escape\nwait 8\nkey escape\nwait 1\n", &error)) << error;
  auto program = std::make_unique<Program>();
  watched = program.get();
  samples.clear();
  virtual_set_present_observer(sample_clocks);
  EXPECT_EQ(run_magazine(*program), 0);
  virtual_set_present_observer(nullptr);
  Rates rates;
  measure(Screen::intro, &ClockSample::intro_phase, &rates.intro_per_second, &rates.intro_fps);
  measure(Screen::magazine, &ClockSample::magazine_phase, &rates.magazine_per_second, &rates.magazine_fps);
  return rates;
}

TEST(FrameClocks, TheClocksAdvanceByTimeAtAnyFrameRate) {
  for (double hertz : {30.0, 60.0, 144.0}) {
    Rates rates = run_at(hertz, true);
    EXPECT_NEAR(rates.intro_per_second, 50.0, 0.01) << hertz;
    EXPECT_NEAR(rates.magazine_per_second, 250.0, 0.05) << hertz;
    // The frame rate really was the display's (one sleep of 1 ms aside).
    EXPECT_NEAR(rates.intro_fps, 1.0 / (1.0 / hertz + 0.001), hertz * 0.02) << hertz;
  }
}

TEST(FrameClocks, PresentsThatDoNotWaitRunAtTheRefreshWithClocksUnchanged) {
  Rates rates = run_at(60.0, false);
  EXPECT_NEAR(rates.intro_per_second, 50.0, 0.01);
  EXPECT_NEAR(rates.magazine_per_second, 250.0, 0.05);
  EXPECT_NEAR(rates.intro_fps, 60.0, 1.0);
  EXPECT_NEAR(rates.magazine_fps, 60.0, 1.0);
}

}  // namespace
