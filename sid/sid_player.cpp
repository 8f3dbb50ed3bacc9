// The process's one SID player: a record, a stream and the tune table.
#include "sid/sid_player.h"

#include "sid/sid_driver.h"
#include "sid/sid_stream.h"

namespace {

SidPlayerState player;
SidStream stream;
SidTuneTable tunes;

}  // namespace

void sid_set_tunes(const SidTuneTable& table) { tunes = table; }

void sid_play_tune(int n) {
  sid_stop();
  if (n < 1 || n > sid_tune_count) return;
  const SidTuneEntry& e = tunes.entry[n];
  sid_start(e.bytes, e.length, e.subsong);
  sid_resume();
}

bool sid_start(const uint8_t* tune, uint32_t length, uint8_t subsong) {
  sid_stop();
  if (tune) sid_prepare_tune(player, tune, length, subsong);
  else sid_reset(player, sid_sample_rate);
  return sid_stream_start(stream, player);
}

void sid_stop() { sid_stream_stop(stream); }

void sid_resume() { sid_stream_resume(stream); }

bool sid_device_open() { return stream.device != nullptr; }

const SidPlayerState& sid_player_state() { return player; }
