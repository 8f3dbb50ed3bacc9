// Loader: header, pattern unpacking, sample decoding, loops and guards, and the
// guards against files that lie.
#include <gtest/gtest.h>

#include "tests/xm/xm_test_support.h"
#include "xm/xm_file.h"

using namespace xmw;

namespace {

Song basic_song() {
  Song song;
  song.title = "Basic";
  song.channels = 2;
  song.orders = {0, 1, 0};
  song.restart = 1;
  song.speed = 5;
  song.bpm = 140;
  Pattern p0;
  p0.rows = 4;
  at(p0, 2, 0, 0) = {note("C-4"), 1, 0x40, 0x0C, 0x20};
  at(p0, 2, 1, 1) = {97, 0, 0, 0, 0};  // key off
  at(p0, 2, 3, 1) = {0, 200, 0, 0x0F, 3};
  Pattern p1;
  p1.rows = 2;
  p1.raw_cells = true;
  at(p1, 2, 1, 0) = {note("A-5"), 2, 0, 0x04, 0x37};
  song.patterns = {p0, p1};
  song.instruments.push_back(single_sample_instrument(square_sample()));
  return song;
}

}  // namespace

TEST(XmLoad, HeaderAndPatterns) {
  ModulePtr m = load_song(basic_song());
  ASSERT_TRUE(m);
  EXPECT_STREQ(m->title, "Basic");
  EXPECT_EQ(m->song_length, 3);
  EXPECT_EQ(m->restart_position, 1);
  EXPECT_EQ(m->channel_count, 2);
  EXPECT_EQ(m->default_speed, 5);
  EXPECT_EQ(m->default_bpm, 140);
  EXPECT_EQ(m->flags, 1);
  EXPECT_EQ(m->patterns_used, 2);
  EXPECT_EQ(m->pattern_count_held, 2);
  EXPECT_EQ(m->initial_global_volume, 64);
  ASSERT_EQ(m->patterns[0].row_count, 4u);
  const XmCell& c = m->patterns[0].cells[0];
  EXPECT_EQ(c.note, note("C-4"));
  EXPECT_EQ(c.instrument, 1);
  EXPECT_EQ(c.volume, 0x40);
  EXPECT_EQ(c.effect, 0x0C);
  EXPECT_EQ(c.parameter, 0x20);
  EXPECT_EQ(m->patterns[0].cells[1 * 2 + 1].note, xm_note_key_off);  // 97 becomes key off
  EXPECT_EQ(m->patterns[0].cells[3 * 2 + 1].instrument, 0);          // above 128: none
  EXPECT_EQ(m->patterns[0].cells[3 * 2 + 1].effect, 0x0F);
  // Unpacked cells of the second pattern.
  ASSERT_EQ(m->patterns[1].row_count, 2u);
  EXPECT_EQ(m->patterns[1].cells[2].note, note("A-5"));
  EXPECT_EQ(m->patterns[1].cells[2].parameter, 0x37);
  EXPECT_EQ(m->tick_function, &xm_tick);
}

TEST(XmLoad, RefusesWhatIsNotAModule) {
  std::vector<uint8_t> bytes = write(basic_song());
  bytes[3] = 'X';
  EXPECT_FALSE(load_bytes(bytes));
  EXPECT_FALSE(load_bytes({}));
  std::vector<uint8_t> short_magic(bytes.begin(), bytes.begin() + 10);
  EXPECT_FALSE(load_bytes(short_magic));
}

TEST(XmLoad, EmptyStoredPatternAndMissingPatterns) {
  Song song = basic_song();
  song.patterns[0].store_empty = true;  // packed size 0: the next header follows at once
  song.orders = {0, 1, 5};
  ModulePtr m = load_song(song);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->patterns[0].row_count, 4u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(m->patterns[0].cells[i].note, 0);
  EXPECT_EQ(m->patterns[1].cells[2].note, note("A-5"));
  // Order 2 names pattern 5, which the file does not hold: a silent 64-row pattern.
  EXPECT_EQ(m->patterns_used, 6);
  EXPECT_EQ(m->pattern_count_held, 6);
  EXPECT_EQ(m->patterns[5].row_count, 64u);
  EXPECT_EQ(m->patterns[5].cells[64 * 2 - 1].note, 0);
}

TEST(XmLoad, SampleDeltaDecodingAndLengths) {
  Song song = basic_song();
  Sample eight;  // bytes 0x10, 0xF0 as deltas: 0x10, then 0x10 + 0xF0 = 0x00
  eight.values = {0x1000, 0x0000};
  Sample sixteen;
  sixteen.sixteen_bit = true;
  for (int i = 0; i < 500; ++i) sixteen.values.push_back(int16_t(i * 97 - 20000));
  sixteen.loop_type = 1;
  sixteen.loop_start = 100;
  sixteen.loop_length = 300;
  Instrument ins;
  ins.samples = {eight, sixteen};
  ins.key_map[10] = 1;
  ins.fadeout = 300;
  song.instruments = {ins};
  std::vector<uint8_t> bytes = write(song);
  ModulePtr m = load_bytes(bytes);
  ASSERT_TRUE(m);
  const XmInstrument& loaded = m->instruments[0];
  EXPECT_EQ(loaded.sample_count, 2u);
  EXPECT_EQ(loaded.fadeout, 600);
  EXPECT_EQ(loaded.key_map[10], 1);
  const XmSample& a = *loaded.samples[0];
  ASSERT_EQ(a.length, 2u);
  EXPECT_EQ(a.data[0], 0x1000);
  EXPECT_EQ(a.data[1], 0x0000);
  EXPECT_EQ(a.bits, 16);
  EXPECT_EQ(a.loop_mode, xm_loop_none);
  EXPECT_EQ(a.loop_length, 2u);
  EXPECT_EQ(a.data[2], 0);  // a one-shot's guard stays 0
  const XmSample& b = *loaded.samples[1];
  ASSERT_EQ(b.length, 500u);  // 1000 bytes
  EXPECT_EQ(b.loop_start, 100u);
  EXPECT_EQ(b.loop_length, 300u);
  EXPECT_EQ(b.data[499], int16_t(499 * 97 - 20000));
  EXPECT_EQ(b.data[400], b.data[100]);  // forward guard: the loop start again
  for (int slot = 2; slot < 16; ++slot) EXPECT_EQ(loaded.samples[slot], &xm_blank_sample);
}

TEST(XmLoad, LoopKindsAndGuards) {
  Song song = basic_song();
  Sample ping = square_sample(8, 0x2000, 64);
  ping.loop_type = 3;  // both bits: ping-pong wins
  ping.loop_start = 10;
  ping.loop_length = 20;
  Sample zero_loop = square_sample(8, 0x2000, 64);
  zero_loop.loop_length = 0;  // says forward, plays once
  Sample past_end = square_sample(8, 0x2000, 64);
  past_end.loop_start = 40;
  past_end.loop_length = 100;  // reaches past the end: shortened
  Sample start_past = square_sample(8, 0x2000, 64);
  start_past.loop_start = 90;  // starts past the end: a one-shot
  start_past.loop_length = 4;
  Instrument ins;
  ins.samples = {ping, zero_loop, past_end, start_past};
  song.instruments = {ins};
  ModulePtr m = load_song(song);
  ASSERT_TRUE(m);
  const XmSample& p = *m->instruments[0].samples[0];
  EXPECT_EQ(p.loop_mode, xm_loop_ping_pong);
  EXPECT_EQ(p.data[30], p.data[29]);  // ping-pong guard: the last loop value again
  const XmSample& z = *m->instruments[0].samples[1];
  EXPECT_EQ(z.loop_mode, xm_loop_none);
  EXPECT_EQ(z.loop_start, 0u);
  EXPECT_EQ(z.loop_length, 64u);
  const XmSample& e = *m->instruments[0].samples[2];
  EXPECT_EQ(e.loop_mode, xm_loop_forward);
  EXPECT_EQ(e.loop_start, 40u);
  EXPECT_EQ(e.loop_length, 24u);
  EXPECT_EQ(e.data[64], e.data[40]);
  const XmSample& s = *m->instruments[0].samples[3];
  EXPECT_EQ(s.loop_mode, xm_loop_none);
  EXPECT_EQ(s.loop_length, 64u);
}

TEST(XmLoad, EnvelopesAreHeldToWhatCanBeIndexed) {
  Song song = basic_song();
  Instrument ins = single_sample_instrument(square_sample());
  for (int i = 0; i < 12; ++i) ins.volume.points.push_back({uint16_t(i * 10), uint16_t(i == 3 ? 200 : 64 - i)});
  ins.volume.points[5].first = 7;  // runs backwards
  ins.volume.count = 40;
  ins.volume.type = 7;
  ins.volume.sustain = 15;
  ins.volume.loop_start = 2;
  ins.volume.loop_end = 30;
  ins.panning.points = {{0, 32}};
  ins.panning.type = 1;  // one point: off
  song.instruments = {ins};
  ModulePtr m = load_song(song);
  ASSERT_TRUE(m);
  const XmInstrument& loaded = m->instruments[0];
  EXPECT_EQ(loaded.volume_point_count, 12);
  EXPECT_EQ(loaded.volume_type, xm_envelope_on);  // sustain and loop beyond the points: off
  EXPECT_EQ(loaded.volume_envelope[3].value, 64);
  EXPECT_EQ(loaded.volume_envelope[5].tick, 40);
  EXPECT_GE(loaded.volume_envelope[6].tick, loaded.volume_envelope[5].tick);
  EXPECT_EQ(loaded.panning_type, 0);
  EXPECT_EQ(loaded.volume_envelope[12].tick, 0);  // only 12 points are read
}

TEST(XmLoad, HeaderValuesOutsideTheRules) {
  Song song = basic_song();
  song.channels = 33;
  EXPECT_FALSE(load_song(song)) << "more than 32 channels";
  song.channels = 0;
  EXPECT_FALSE(load_song(song)) << "no channels";

  song = basic_song();
  song.song_length = 0;
  song.speed = 0;
  song.bpm = 0;
  ModulePtr m = load_song(song);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->song_length, 1);
  EXPECT_EQ(m->restart_position, 0);
  EXPECT_EQ(m->default_speed, 6);
  EXPECT_EQ(m->default_bpm, 125);

  song = basic_song();
  song.song_length = 300;
  song.restart = 3;
  m = load_song(song);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->song_length, 256);
  EXPECT_EQ(m->restart_position, 3);
  song.song_length = 3;
  m = load_song(song);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->restart_position, 0) << "restart beyond the song";

  song = basic_song();
  song.instruments[0].sample_count = 17;
  EXPECT_FALSE(load_song(song));
  song = basic_song();
  song.patterns[0].rows = 0;
  m = load_song(song);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->patterns[0].row_count, 64u) << "a pattern of 0 rows plays as an empty pattern";
  song.patterns[0].rows = 257;
  EXPECT_FALSE(load_song(song));
}

TEST(XmLoad, TruncatedFilesLoadWithZeros) {
  std::vector<uint8_t> bytes = write(basic_song());
  // Every prefix that keeps the magic loads (or is refused) without harm.
  for (size_t cut = 17; cut < bytes.size(); cut += 7) {
    std::vector<uint8_t> part(bytes.begin(), bytes.begin() + long(cut));
    ModulePtr m = load_bytes(part);
    if (!m) continue;
    const XmInstrument* ins = m->instrument_count ? &m->instruments[0] : nullptr;
    if (ins && ins->sample_count) {
      EXPECT_LE(ins->samples[0]->length, 256u);
    }
  }
  // A sample that claims far more data than the file holds gets what is there.
  Song song = basic_song();
  song.instruments[0].samples[0].length_bytes = 0x7FFFFFF0;
  ModulePtr m = load_song(song);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->instruments[0].samples[0]->length, 256u);
  EXPECT_EQ(m->instruments[0].samples[0]->loop_length, 256u);
}

TEST(XmLoad, MemoryFileReadsAndSeeksStayInside) {
  const uint8_t data[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  MemorySource source{data, sizeof data};
  void* f = xm_memory_open(&source, "ignored");
  uint8_t buffer[16] = {};
  EXPECT_EQ(xm_memory_read(buffer, 4, f), 4u);
  EXPECT_EQ(buffer[3], 3);
  xm_memory_seek(f, 8, 0);
  EXPECT_EQ(xm_memory_read(buffer, 4, f), 2u);
  EXPECT_EQ(xm_memory_tell(f), 10);
  xm_memory_seek(f, -3, 2);
  EXPECT_EQ(xm_memory_tell(f), 7);
  xm_memory_seek(f, -100, 1);
  EXPECT_EQ(xm_memory_tell(f), 0);
  xm_memory_seek(f, INT64_MAX, 1);
  EXPECT_EQ(xm_memory_tell(f), 10);
  xm_memory_seek(f, 3, 7);  // unknown mode: unchanged
  EXPECT_EQ(xm_memory_tell(f), 10);
  EXPECT_EQ(xm_memory_read(buffer, 4, f), 0u);
  xm_memory_close(f);
}

TEST(XmLoad, CallbacksAreAllOrNothing) {
  const std::vector<uint8_t> bytes = write(basic_song());
  MemorySource source{bytes.data(), bytes.size()};
  FileCallbacks files;
  xm_set_file_callbacks(files, &source, xm_memory_open, xm_memory_close, xm_memory_read, xm_memory_seek, nullptr);
  EXPECT_FALSE(xm_file_callbacks_registered(files));
  EXPECT_EQ(xm_load(files, nullptr), nullptr);
  xm_set_file_callbacks(files, &source, xm_memory_open, xm_memory_close, xm_memory_read, xm_memory_seek,
                        xm_memory_tell);
  ASSERT_TRUE(xm_file_callbacks_registered(files));
  ModulePtr m(xm_load(files, "any name"));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->channel_count, 2);
  // Two records, two sources: nothing is shared between them.
  const std::vector<uint8_t> other = write(one_channel_song(square_sample()));
  MemorySource other_source{other.data(), other.size()};
  FileCallbacks other_files;
  xm_set_file_callbacks(other_files, &other_source, xm_memory_open, xm_memory_close, xm_memory_read,
                        xm_memory_seek, xm_memory_tell);
  ModulePtr n(xm_load(other_files, nullptr));
  ModulePtr again(xm_load(files, nullptr));
  ASSERT_TRUE(n && again);
  EXPECT_EQ(n->channel_count, 1);
  EXPECT_EQ(again->channel_count, 2);
}

TEST(XmLoad, NotesBeyondKeyOffAreDropped) {
  Song song = basic_song();
  at(song.patterns[0], 2, 2, 0) = {150, 1, 0, 0, 0};
  ModulePtr m = load_song(song);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->patterns[0].cells[4].note, 0);
  EXPECT_EQ(m->patterns[0].cells[4].instrument, 1);
}
