// The half-second measurement and the refresh-interval schedule of the pacer.
#include "display/frame_pacing.h"

#include <algorithm>

namespace {

constexpr double measure_span = 0.5;   // seconds of presents behind each decision
// Presents that wait for the display come at its refresh, give or take one
// in a half second; clearly more than that means they do not wait.
constexpr double faster_than_refresh = 1.05;

}  // namespace

void frame_pacing_start(FramePacer& pacer, double hertz) {
  pacer = FramePacer{};
  pacer.refresh_hz = hertz > 0 ? hertz : 60;
}

double frame_pacing_after_present(FramePacer& pacer, double now) {
  const double interval = 1.0 / pacer.refresh_hz;
  if (pacer.measured_since < 0) {
    pacer.measured_since = now;
    pacer.last_release = now;
    return now;
  }
  pacer.presents += 1;
  const double span = now - pacer.measured_since;
  if (span >= measure_span) {
    // The rate the presents would have had without our own waits.
    const double own_time = span - pacer.waited;
    pacer.pacing = own_time <= 0 || pacer.presents / own_time > pacer.refresh_hz * faster_than_refresh;
    pacer.measured_since = now;
    pacer.presents = 0;
    pacer.waited = 0;
  }
  if (!pacer.pacing) {
    pacer.last_release = now;
    return now;
  }
  // One refresh interval after the previous frame; a frame that came late starts
  // the schedule afresh instead of hurrying the next ones.
  const double release = std::max(pacer.last_release + interval, now);
  pacer.waited += release - now;
  pacer.last_release = release;
  return release;
}
