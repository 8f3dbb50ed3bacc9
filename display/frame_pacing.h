#pragma once
// Frame pacing: presents that wait for the display follow its refresh by
// themselves; some do not (vsync off in a compositor, some drivers, software
// OpenGL), and then nothing would bound the frame loop. The pacer watches the
// presents of each half second: when they came faster than the display's
// refresh, it has the display layer wait out the rest of each refresh interval
// after the present, so the loop runs at the refresh and no faster. Where the
// presents do wait, it never asks for a wait.
//
// Times are the platform clock's seconds. Plain arithmetic, no clock of its own.
#include <cstdint>

struct FramePacer {
  double refresh_hz = 60;             // the display's, 60 when the platform does not know
  double measured_since = -1;         // start of the current half second (-1: not started)
  int32_t presents = 0;               // presents in it
  double waited = 0;                  // seconds the pacer itself asked to wait in it
  bool pacing = false;                // decided at the end of each half second
  double last_release = 0;            // when the previous frame was handed back
};

// `hertz` as the platform reports it; 0 or less means unknown, taken as 60.
void frame_pacing_start(FramePacer& pacer, double hertz);

// Right after a present returned at `now`: the clock time until which the
// display layer should wait before handing the frame back (`now` for no wait).
double frame_pacing_after_present(FramePacer& pacer, double now);
