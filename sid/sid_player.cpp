// The intro's SID player: the tune table, the tune switch and the stream.
#include "sid/sid_player.h"

#include "sid/sid_driver.h"

void sid_set_tunes(SidPlayer& p, const SidTuneTable& table) { p.tunes = table; }

void sid_play_tune(SidPlayer& p, int n) {
  sid_stop(p);
  if (n < 1 || n > sid_tune_count) return;
  const SidTuneEntry& e = p.tunes.entry[n];
  sid_start(p, e.bytes, e.length, e.subsong);
  sid_resume(p);
}

bool sid_start(SidPlayer& p, const uint8_t* tune, uint32_t length, uint8_t subsong) {
  sid_stop(p);
  if (tune) sid_prepare_tune(p.state, tune, length, subsong);
  else sid_reset(p.state, sid_sample_rate);
  return sid_stream_start(p.stream, p.state);
}

void sid_stop(SidPlayer& p) { sid_stream_stop(p.stream); }

void sid_resume(SidPlayer& p) { sid_stream_resume(p.stream); }

bool sid_device_open(const SidPlayer& p) { return p.stream.device != nullptr; }

bool sid_take_failure_report(SidPlayer& p, char* text, size_t size) {
  return sid_stream_take_failure(p.stream, text, size);
}
