// Replay: order and row sequencing, jumps, breaks, loops, delays, speed, and
// what notes, instruments, the volume column and effects do to a channel.
#include <gtest/gtest.h>

#include <utility>

#include "tests/xm/xm_test_support.h"

using namespace xmw;

namespace {

struct Engine {
  ModulePtr module;
  RendererPtr renderer;
  explicit Engine(const Song& song) : module(load_song(song)) {
    if (module) renderer = start_renderer(*module);
  }
  XmModule& m() { return *module; }
  XmChannel& ch(int c = 0) { return module->channels[c]; }
  MixVoice& voice(int c = 0) { return *module->channels[c].voice; }
  void tick() { module->tick_function(*module); }
  void ticks(int n) {
    for (int i = 0; i < n; ++i) tick();
  }
  // The (order, row) of each of the next `count` rows started.
  std::vector<std::pair<int, int>> rows(int count) {
    std::vector<std::pair<int, int>> out;
    for (int guard = 0; int(out.size()) < count && guard < 100000; ++guard) {
      bool starts = module->tick == 0;
      tick();
      if (starts) out.emplace_back(module->order, module->row);
    }
    return out;
  }
};

Song song_with_patterns(int channels, std::vector<int> rows, std::vector<uint8_t> orders) {
  Song song;
  song.channels = uint16_t(channels);
  song.orders = std::move(orders);
  song.speed = 1;
  for (int r : rows) {
    Pattern p;
    p.rows = uint16_t(r);
    song.patterns.push_back(p);
  }
  song.instruments.push_back(single_sample_instrument(square_sample()));
  return song;
}

using Rows = std::vector<std::pair<int, int>>;

}  // namespace

TEST(XmReplay, RowsOrdersAndRestart) {
  Song song = song_with_patterns(1, {2, 3}, {0, 1});
  song.restart = 1;
  song.speed = 3;
  Engine e(song);
  ASSERT_TRUE(e.renderer);
  EXPECT_EQ(e.m().samples_per_tick, 882);
  EXPECT_EQ(e.rows(7), (Rows{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {1, 2}, {1, 0}, {1, 1}}));
}

TEST(XmReplay, SpeedTicksPerRowAndF00) {
  Song song = song_with_patterns(1, {4}, {0});
  song.speed = 4;
  at(song.patterns[0], 1, 1, 0) = {0, 0, 0, 0x0F, 0x00};  // F00: every tick a row
  at(song.patterns[0], 1, 3, 0) = {0, 0, 0, 0x0F, 0x40};  // F40: BPM 64
  Engine e(song);
  e.ticks(4);
  EXPECT_EQ(e.m().row, 0);
  e.tick();
  EXPECT_EQ(e.m().row, 1);
  EXPECT_EQ(e.m().speed, 0);
  e.tick();
  EXPECT_EQ(e.m().row, 2);
  e.tick();
  EXPECT_EQ(e.m().row, 3);
  EXPECT_EQ(e.m().bpm, 64);
  EXPECT_EQ(e.m().samples_per_tick, 1722);
}

TEST(XmReplay, JumpAndBreakOnOneRow) {
  // B first, then D: order from B, row from D.
  Song song = song_with_patterns(2, {4, 4, 4}, {0, 1, 2});
  at(song.patterns[0], 2, 1, 0) = {0, 0, 0, 0x0B, 2};
  at(song.patterns[0], 2, 1, 1) = {0, 0, 0, 0x0D, 0x02};
  Engine first_b(song);
  EXPECT_EQ(first_b.rows(3), (Rows{{0, 0}, {0, 1}, {2, 2}}));
  // D first, then B: B's row 0 wins.
  std::swap(at(song.patterns[0], 2, 1, 0), at(song.patterns[0], 2, 1, 1));
  Engine first_d(song);
  EXPECT_EQ(first_d.rows(3), (Rows{{0, 0}, {0, 1}, {2, 0}}));
}

TEST(XmReplay, BreaksAtTheEndAndPastThePattern) {
  Song song = song_with_patterns(1, {4, 2}, {0, 1});
  song.restart = 1;
  at(song.patterns[1], 1, 0, 0) = {0, 0, 0, 0x0D, 0x03};  // row 3 of a 2-row pattern
  at(song.patterns[0], 1, 2, 0) = {0, 0, 0, 0x0D, 0x01};
  Engine e(song);
  // Running off the last pattern goes to the restart position; a break at the
  // last order goes to order 0.
  EXPECT_EQ(e.rows(6), (Rows{{0, 0}, {0, 1}, {0, 2}, {1, 1}, {1, 0}, {0, 3}}));
  Song past = song_with_patterns(1, {4, 2}, {0, 1});
  at(past.patterns[0], 1, 0, 0) = {0, 0, 0, 0x0D, 0x10};  // row 10 of the 2-row pattern 1
  Engine p(past);
  EXPECT_EQ(p.rows(3), (Rows{{0, 0}, {1, 0}, {1, 1}}));
  Song high = song_with_patterns(1, {4, 2}, {0, 1});
  at(high.patterns[0], 1, 0, 0) = {0, 0, 0, 0x0D, 0x99};  // 99 > 63: row 0
  Engine h(high);
  EXPECT_EQ(h.rows(2), (Rows{{0, 0}, {1, 0}}));
}

TEST(XmReplay, PatternLoopPlaysSectionThreeTimes) {
  Song song = song_with_patterns(1, {4}, {0});
  at(song.patterns[0], 1, 1, 0) = {0, 0, 0, 0x0E, 0x60};
  at(song.patterns[0], 1, 2, 0) = {0, 0, 0, 0x0E, 0x62};
  Engine e(song);
  EXPECT_EQ(e.rows(8), (Rows{{0, 0}, {0, 1}, {0, 2}, {0, 1}, {0, 2}, {0, 1}, {0, 2}, {0, 3}}));
}

TEST(XmReplay, PatternDelayAddsSpeedTimesY) {
  Song song = song_with_patterns(1, {3}, {0});
  song.speed = 2;
  at(song.patterns[0], 1, 0, 0) = {0, 0, 0, 0x0E, 0xE2};
  Engine e(song);
  int ticks_on_row0 = 0;
  while (true) {
    e.tick();
    if (e.m().row != 0) break;
    ++ticks_on_row0;
  }
  EXPECT_EQ(ticks_on_row0, 2 + 2 * 2);
}

TEST(XmReplay, NoteInstrumentAndVolumeColumn) {
  Song song = one_channel_song(square_sample());
  song.speed = 6;
  song.instruments[0].samples[0].volume = 40;
  at(song.patterns[0], 1, 0, 0) = {note("C-4"), 1, 0, 0, 0};
  at(song.patterns[0], 1, 1, 0) = {0, 0, 0x62, 0, 0};  // 6x: every tick of the row
  at(song.patterns[0], 1, 2, 0) = {0, 0, 0x82, 0, 0};  // 8x: first tick only
  at(song.patterns[0], 1, 3, 0) = {0, 0, 0, 0x0C, 0x80};
  Engine e(song);
  e.tick();
  EXPECT_EQ(e.ch().volume, 40);
  EXPECT_EQ(e.ch().note, 48);
  EXPECT_EQ(e.ch().period, 7680 - 48 * 64);
  EXPECT_NE(e.voice().sample, nullptr);
  EXPECT_EQ(e.voice().step_integer, 0u);  // 8363 Hz
  e.ticks(5 + 6);
  EXPECT_EQ(e.ch().volume, 40 - 6 * 2);
  e.ticks(6);
  EXPECT_EQ(e.ch().volume, 40 - 12 - 2);
  e.tick();
  EXPECT_EQ(e.ch().volume, 128);
  // Twice the full-scale mix volume of 127.
  EXPECT_GE(e.voice().volume, 254);
  EXPECT_LE(e.voice().volume, 255);
}

TEST(XmReplay, KeyOffWithAndWithoutEnvelope) {
  Song song = one_channel_song(square_sample());
  song.speed = 2;
  at(song.patterns[0], 1, 0, 0) = {note("C-4"), 1, 0, 0, 0};
  at(song.patterns[0], 1, 1, 0) = {xm_note_key_off, 0, 0, 0, 0};
  Engine cut(song);
  cut.ticks(3);
  EXPECT_EQ(cut.ch().key_off, 1);
  EXPECT_EQ(cut.voice().volume, 0) << "no envelope: key off silences at once";

  Instrument& ins = song.instruments[0];
  ins.volume.points = {{0, 64}, {4, 32}, {10, 0}};
  ins.volume.type = xm_envelope_on | xm_envelope_sustain;
  ins.volume.sustain = 1;
  ins.fadeout = 1024;
  song.speed = 8;
  Engine env(song);
  env.ticks(8);
  EXPECT_EQ(env.ch().volume_envelope.value, 32) << "held at the sustain point";
  int held_tick = env.ch().volume_envelope.tick;
  env.tick();  // key off row
  EXPECT_EQ(env.ch().fade_volume, 65536 - 2048);
  env.ticks(3);
  EXPECT_GT(env.ch().volume_envelope.tick, held_tick);
  EXPECT_LT(env.ch().volume_envelope.value, 32);
  EXPECT_EQ(env.ch().fade_volume, 65536 - 4 * 2048);
}

TEST(XmReplay, SampleOffsetPendingAndBeyondTheLoop) {
  Song song = one_channel_song(square_sample(32, 0x4000, 1024));
  song.speed = 1;
  at(song.patterns[0], 1, 0, 0) = {note("C-4"), 1, 0, 0x09, 0x02};
  at(song.patterns[0], 1, 1, 0) = {0, 0, 0, 0x09, 0x03};  // no note: pending
  at(song.patterns[0], 1, 2, 0) = {note("C-4"), 1, 0, 0, 0};
  at(song.patterns[0], 1, 3, 0) = {note("C-4"), 1, 0, 0x09, 0x08};  // 2048 > 1024
  Engine e(song);
  e.tick();
  EXPECT_EQ(e.voice().position, 512u);
  e.tick();
  EXPECT_EQ(e.voice().start_offset, 768u);
  e.tick();
  EXPECT_EQ(e.voice().position, 768u);
  MixVoice* before = e.ch().voice;
  before->position = 300;
  e.tick();
  EXPECT_EQ(e.ch().voice, before) << "no trigger";
  EXPECT_EQ(e.voice().position, 0u) << "rewound";
}

TEST(XmReplay, TriggerMovesBetweenPartnerVoices) {
  Song song = one_channel_song(square_sample());
  song.speed = 1;
  for (int r = 0; r < 3; ++r) at(song.patterns[0], 1, r, 0) = {note("C-4"), 1, 0, 0, 0};
  Engine e(song);
  e.tick();
  EXPECT_EQ(e.voice().index, 0u);
  e.tick();
  EXPECT_EQ(e.voice().index, 32u);
  EXPECT_EQ(e.renderer->voices[0].gain_a, 0) << "the old note fades out";
  EXPECT_EQ(e.renderer->voices[0].volume, 0);
  e.tick();
  EXPECT_EQ(e.voice().index, 0u);
}

TEST(XmReplay, NoteDelayAndNoteCut) {
  Song song = one_channel_song(square_sample());
  song.speed = 6;
  at(song.patterns[0], 1, 0, 0) = {note("C-4"), 1, 0, 0x0E, 0xD3};
  at(song.patterns[0], 1, 1, 0) = {0, 0, 0, 0x0E, 0xC2};
  Engine e(song);
  e.tick();
  EXPECT_EQ(e.voice().sample, nullptr) << "delayed";
  e.ticks(2);
  EXPECT_EQ(e.voice().sample, nullptr);
  e.tick();  // tick 3
  EXPECT_NE(e.voice().sample, nullptr);
  e.ticks(2 + 2);
  EXPECT_EQ(e.ch().volume, 64);
  e.tick();  // row 1, tick 2
  EXPECT_EQ(e.ch().volume, 0);
}

TEST(XmReplay, FinetuneEffectTunesOnlyTheNoteOfItsRow) {
  for (uint16_t flags : {uint16_t(0), uint16_t(1)}) {
    Song song = one_channel_song(square_sample());
    song.flags = flags;
    song.speed = 1;
    song.instruments[0].samples[0].finetune = 16;
    at(song.patterns[0], 1, 0, 0) = {note("C-4"), 1, 0, 0x0E, 0x5C};  // +4/8 semitone
    at(song.patterns[0], 1, 1, 0) = {note("C-4"), 1, 0, 0, 0};
    at(song.patterns[0], 1, 2, 0) = {note("C-4"), 1, 0, 0x0E, 0x58};  // E58: no finetune
    at(song.patterns[0], 1, 3, 0) = {note("C-4"), 9, 0, 0x0E, 0x50};  // an empty slot
    Engine e(song);
    auto period_for = [&](int finetune) { return flags ? 4608 - finetune / 2 : xm_amiga_period(48, finetune); };
    e.tick();
    EXPECT_EQ(e.ch().period, period_for(64));
    e.tick();
    EXPECT_EQ(e.ch().period, period_for(16)) << "the next note has its sample's finetune again";
    e.tick();
    EXPECT_EQ(e.ch().period, period_for(0));
    e.tick();
    EXPECT_EQ(e.m().instruments[0].samples[0]->finetune, 16) << "the sample is never changed";
    EXPECT_EQ(xm_blank_sample.finetune, 0);
  }
}

TEST(XmReplay, GlobalVolumeAndSlide) {
  Song song = one_channel_song(square_sample());
  song.speed = 4;
  at(song.patterns[0], 1, 0, 0) = {note("C-4"), 1, 0, 0x10, 0x50};
  at(song.patterns[0], 1, 1, 0) = {0, 0, 0, 0x11, 0x05};
  Engine e(song);
  e.tick();
  EXPECT_EQ(e.m().global_volume, 64);
  e.ticks(3 + 4);
  EXPECT_EQ(e.m().global_volume, 64 - 3 * 5);
}

TEST(XmReplay, EveryEffectAndVolumeByteIsSafe) {
  // All effects with a spread of parameters and every volume byte, on a module
  // with one real instrument and empty ones: nothing may read outside.
  Song song = song_with_patterns(2, {64, 64}, {0, 1, 0});
  for (int r = 0; r < 64; ++r) {
    at(song.patterns[0], 2, r, 0) = {uint8_t(1 + r), uint8_t(1 + r % 3), uint8_t(r * 4), uint8_t(r % 0x24),
                                     uint8_t(r * 37)};
    at(song.patterns[0], 2, r, 1) = {uint8_t(r % 2 ? 97 : 96), 1, uint8_t(0xFF - r), 0x0E, uint8_t(r * 16 + r % 16)};
    at(song.patterns[1], 2, r, 0) = {uint8_t(r + 30), 1, uint8_t(0x10 + r * 3), uint8_t(0x21 - r % 0x22),
                                     uint8_t(0xFF - r * 5)};
  }
  song.speed = 3;
  song.flags = 0;
  Engine amiga(song);
  amiga.rows(64 * 3);
  song.flags = 1;
  Engine linear(song);
  linear.rows(64 * 3);
  for (int c = 0; c < 2; ++c) {
    EXPECT_GE(linear.ch(c).volume, 0);
    EXPECT_LE(linear.ch(c).period, xm_period_max);
  }
}

TEST(XmReplay, VolumeColumnPortamentoSlidesFromTheOldNote) {
  Song song = one_channel_song(square_sample());
  song.speed = 4;
  at(song.patterns[0], 1, 0, 0) = {note("C-4"), 1, 0, 0, 0};
  at(song.patterns[0], 1, 1, 0) = {note("D-4"), 1, 0xF4, 0, 0};  // slide at 4 x 16 x 4 per tick
  Engine e(song);
  e.ticks(4);
  MixVoice* voice = e.ch().voice;
  int32_t c4 = e.ch().period;
  e.tick();
  EXPECT_EQ(e.ch().period, c4) << "no jump to the new note";
  EXPECT_EQ(e.ch().porta_target, c4 - 2 * 64);
  EXPECT_EQ(e.ch().voice, voice) << "no retrigger";
  e.tick();
  EXPECT_EQ(e.ch().period, c4 - 2 * 64) << "256 per tick reaches the target at once";
}

namespace {

// The mix volume and pan the channel's voice carries after each of `ticks` ticks.
std::vector<std::pair<int, int>> voice_per_tick(const Song& song, int ticks) {
  Engine e(song);
  std::vector<std::pair<int, int>> out;
  for (int t = 0; t < ticks; ++t) {
    e.tick();
    out.emplace_back(e.voice().volume, e.voice().pan);
  }
  return out;
}

Song enveloped_note(uint8_t effect, uint8_t parameter) {
  Song song = one_channel_song(square_sample());
  song.speed = 10;
  Instrument& ins = song.instruments[0];
  ins.volume.points = {{0, 64}, {4, 16}, {8, 48}};
  ins.volume.type = xm_envelope_on;
  ins.panning.points = {{0, 32}, {6, 56}};
  ins.panning.type = xm_envelope_on;
  at(song.patterns[0], 1, 0, 0) = {note("C-4"), 1, 0, effect, parameter};
  return song;
}

}  // namespace

TEST(XmReplay, DelayedNoteFollowsItsEnvelopesAfterTheTrigger) {
  auto plain = voice_per_tick(enveloped_note(0, 0), 10);
  auto delayed = voice_per_tick(enveloped_note(0x0E, 0xD3), 10);
  for (int t = 0; t + 3 < 10; ++t)
    EXPECT_EQ(delayed[size_t(t + 3)], plain[size_t(t)]) << "tick " << t << " after the trigger";
  EXPECT_LT(delayed[5].first, delayed[3].first) << "the volume falls with the envelope";
  EXPECT_GT(delayed[6].second, delayed[3].second) << "the pan follows its envelope";
}

TEST(XmReplay, KeyOffEffectActsOnItsTick) {
  Song song = one_channel_song(square_sample());
  song.speed = 6;
  at(song.patterns[0], 1, 0, 0) = {note("C-4"), 1, 0, 0x14, 0x03};
  auto volumes = voice_per_tick(song, 6);
  for (int t = 0; t < 3; ++t) EXPECT_GT(volumes[size_t(t)].first, 0) << "tick " << t;
  for (int t = 3; t < 6; ++t) EXPECT_EQ(volumes[size_t(t)].first, 0) << "tick " << t << ": no envelope, cut";

  song.patterns[0].cells[0].parameter = 0;  // K00: at once
  EXPECT_EQ(voice_per_tick(song, 1)[0].first, 0);

  // With a sustained envelope the note goes on past its sustain point and fades
  // from the tick of the key off.
  Instrument& ins = song.instruments[0];
  ins.volume.points = {{0, 64}, {2, 64}, {20, 0}};
  ins.volume.type = xm_envelope_on | xm_envelope_sustain;
  ins.volume.sustain = 1;
  ins.fadeout = 1000;
  song.patterns[0].cells[0].parameter = 3;
  Engine e(song);
  e.ticks(3);
  EXPECT_EQ(e.ch().key_off, 0);
  EXPECT_EQ(e.ch().fade_volume, 65536);
  e.tick();
  EXPECT_EQ(e.ch().key_off, 1);
  EXPECT_EQ(e.ch().fade_volume, 65536 - 2000);
  e.tick();
  EXPECT_LT(e.ch().volume_envelope.value, 64) << "past the sustain point";
}
