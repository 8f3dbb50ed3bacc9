// The intro's tune table, tune choices and the report of a failing device.
#include "app/intro_tunes.h"

#include <cmath>

#include "assets/tunes/embedded_tunes.h"
#include "platform/message_box.h"

SidTuneTable intro_tune_table() {
  SidTuneTable table;
  for (int n = 1; n <= sid_tune_count; ++n) {
    const EmbeddedTune tune = embedded_tune(n);
    table.entry[n] = SidTuneEntry{.bytes = tune.bytes, .length = tune.size, .subsong = 0};
  }
  return table;
}

int32_t intro_first_tune(double uniform) {
  const double n = std::floor(uniform * sid_tune_count) + 1;
  return n < 1 ? 1 : n > sid_tune_count ? sid_tune_count : int32_t(n);
}

bool intro_select_tune(SidPlayer& player, int32_t& current_tune, int k) {
  if (k < 1 || k > sid_tune_count || k == current_tune) return false;
  sid_play_tune(player, k);
  current_tune = k;
  return true;
}

bool intro_report_tune_failure(SidPlayer& player) {
  char text[256] = {};
  if (!sid_take_failure_report(player, text, sizeof text)) return false;
  message_box("Error", text);
  return true;
}
