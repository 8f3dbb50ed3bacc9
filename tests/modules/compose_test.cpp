// The committed modules are exactly what their scores make, and they carry what
// the magazine asks of its music: titles, channel counts, length before the
// loop, notes for the bars, and the XM features the scores rely on.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "score_parse.h"
#include "timeline.h"
#include "xm_writer.h"

namespace {

const char* const kTitles[4] = {"Paper Lanterns", "Neon Tramline", "Low Tide Letters", "Iron Meridian"};

std::string score_path(int n) { return std::string(MAG_SOURCE_DIR) + "/assets/modules/src/module" + std::to_string(n) + ".score"; }

std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

xmc::Song load(int n) {
  xmc::Song song;
  std::string error;
  EXPECT_TRUE(xmc::load_score(score_path(n), song, error)) << error;
  return song;
}

uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

TEST(Modules, CommittedFilesAreWhatTheScoresMake) {
  for (int n = 1; n <= 4; ++n) {
    std::vector<uint8_t> made = xmc::write_xm(load(n));
    std::string path = std::string(MAG_SOURCE_DIR) + "/assets/modules/module" + std::to_string(n) + ".xm";
    std::vector<uint8_t> committed = read_file(path);
    ASSERT_EQ(made.size(), committed.size()) << path << ": rebuild with build/xmcompose";
    auto diff = std::mismatch(made.begin(), made.end(), committed.begin());
    EXPECT_TRUE(diff.first == made.end()) << path << " differs at byte " << (diff.first - made.begin());
  }
}

// A player shows the tracker field; it names the scene's tracker the
// composers used, never our tool.
TEST(Modules, NameTheTrackerTheComposersUsed) {
  for (int n = 1; n <= 4; ++n) {
    std::vector<uint8_t> committed = read_file(std::string(MAG_SOURCE_DIR) + "/assets/modules/module" + std::to_string(n) + ".xm");
    ASSERT_GE(committed.size(), 60u);
    std::string tracker(committed.begin() + 38, committed.begin() + 58);
    tracker.erase(tracker.find_last_not_of(std::string(" \0", 2)) + 1);
    EXPECT_EQ(tracker, "Ferroplan 3.0") << "module" << n;
  }
}

TEST(Modules, MeetTheMagazinesNeeds) {
  int widest = 0;
  for (int n = 1; n <= 4; ++n) {
    SCOPED_TRACE(kTitles[n - 1]);
    xmc::Song song = load(n);
    EXPECT_EQ(song.title, kTitles[n - 1]);
    EXPECT_GE(song.channels, 8);
    EXPECT_LE(song.channels, 32);
    widest = std::max(widest, song.channels);
    xmc::Timeline t = xmc::song_timeline(song);
    EXPECT_GE(t.seconds_to_loop, 120.0);
    EXPECT_EQ(t.loop_order, song.restart);
    // the bars must move on most rows, not only now and then
    EXPECT_GT(t.bar_rows * 2, t.rows_to_loop);
    EXPECT_GT(t.bar_notes * 2, t.note_count);
    // a looping sample without an envelope would drone on until its channel's next note
    for (const xmc::Instrument& in : song.instruments) {
      if (in.sample.loop != xmc::LoopMode::none) {
        EXPECT_GE(in.volume_envelope.points.size(), 2u) << in.id;
      }
    }
  }
  EXPECT_GE(widest, 16);
}

TEST(Modules, UseTheFeaturesATrackerMusicianUses) {
  std::set<int> effects;  // effect number, E-commands as 0xE0 + x, F as speed 0x100 or tempo 0xF
  std::set<std::string> samples;
  bool sustain = false, envelope_loop = false, panning = false, fadeout = false, auto_vibrato = false;
  for (int n = 1; n <= 4; ++n) {
    xmc::Song song = load(n);
    for (const xmc::Pattern& p : song.patterns)
      for (const xmc::Cell& c : p.cells)
        if (c.effect || c.param)
          effects.insert(c.effect == 0xE ? 0xE0 + (c.param >> 4) : c.effect == 0xF && c.param < 32 ? 0x100 : c.effect);
    for (const xmc::Instrument& in : song.instruments) {
      const xmc::Sample& s = in.sample;
      samples.insert(std::string(s.sixteen_bit ? "16" : "8") + "/" + std::to_string(static_cast<int>(s.loop)));
      sustain |= in.volume_envelope.sustain >= 0;
      envelope_loop |= in.volume_envelope.loop_start >= 0;
      panning |= in.panning_envelope.points.size() >= 2;
      fadeout |= in.fadeout > 0;
      auto_vibrato |= in.vibrato_depth > 0;
    }
  }
  for (int e : {0x0, 0x1, 0x2, 0x3, 0x4, 0x8, 0x9, 0xA, 0xB, 0xD, 0xF, 0x100, 0xE9, 0xED, 0x1B})
    EXPECT_TRUE(effects.count(e)) << "effect " << std::hex << e << " is never used";
  for (const char* kind : {"8/1", "8/2", "16/0", "16/1", "16/2"}) EXPECT_TRUE(samples.count(kind)) << "no sample " << kind;
  EXPECT_TRUE(sustain && envelope_loop && panning && fadeout && auto_vibrato);
}

// The writer against the XM layout, on a song small enough to reason about.
TEST(XmWriter, HeaderPatternsAndDeltaCodedSamples) {
  xmc::Song song;
  std::string error;
  ASSERT_TRUE(xmc::parse_score(R"(title "Tiny"
channels 2
tempo 125
instrument blip "blip"
  synth hat
  bits 8
  volume 40
instrument tone "tone"
  synth tone
  venv 0,64 10,32 sustain 1
phrase a ins tone
  C-4 . == A-3!A0F
pattern p 4
  1 a
  at 0 2 E-4@blip:20!90C
order p p
restart 1
)", "tiny.score", song, error)) << error;
  std::vector<uint8_t> b = xmc::write_xm(song);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 17), "Extended Module: ");
  EXPECT_EQ(std::string(b.begin() + 17, b.begin() + 21), "Tiny");
  EXPECT_EQ(b[37], 0x1A);
  EXPECT_EQ(u32(b, 60), 276u);
  EXPECT_EQ(b[64] | b[65] << 8, 2);   // song length
  EXPECT_EQ(b[66] | b[67] << 8, 1);   // restart
  EXPECT_EQ(b[68] | b[69] << 8, 2);   // channels
  EXPECT_EQ(b[74] | b[75] << 8, 1);   // linear frequencies
  EXPECT_EQ(b[78] | b[79] << 8, 125);

  // pattern 0 at 336: row 0 = C-4 of "tone" (instrument 2), then a full cell
  const size_t pat = 336;
  EXPECT_EQ(u32(b, pat), 9u);
  EXPECT_EQ(b[pat + 5] | b[pat + 6] << 8, 4);
  std::vector<uint8_t> expect = {0x83, 49, 2, 53, 1, 0x10 + 20, 9, 0x0C, 0x80, 0x80, 0x81, 97, 0x80, 0x9B, 46, 2, 0x0A, 0x0F, 0x80};
  size_t packed = b[pat + 7] | b[pat + 8] << 8;
  ASSERT_EQ(packed, expect.size());
  EXPECT_TRUE(std::equal(expect.begin(), expect.end(), b.begin() + pat + 9));

  // instrument 1 follows; its 8-bit sample decodes back to what was synthesised
  size_t ins = pat + 9 + packed;
  EXPECT_EQ(u32(b, ins), 263u);
  const xmc::Sample& s = song.instruments[0].sample;
  size_t head = ins + 263;
  EXPECT_EQ(u32(b, head), s.values.size());
  EXPECT_EQ(b[head + 12], 40);
  EXPECT_EQ(b[head + 14] & 0x10, 0);
  int8_t value = 0;
  for (size_t i = 0; i < s.values.size(); ++i) {
    value = static_cast<int8_t>(value + static_cast<int8_t>(b[head + 40 + i]));
    ASSERT_EQ(value, s.values[i]) << "sample value " << i;
  }
  // the 16-bit tone loops forward over its whole length, tuned for its 64-sample cycle
  const xmc::Sample& t = song.instruments[1].sample;
  EXPECT_EQ(t.loop, xmc::LoopMode::forward);
  EXPECT_EQ(t.loop_length, t.values.size());
  EXPECT_EQ(t.relative_note, 12);
  EXPECT_NEAR(t.finetune, 2, 1);
}

TEST(Timeline, FollowsBreaksJumpsAndTempo) {
  xmc::Song song;
  std::string error;
  ASSERT_TRUE(xmc::parse_score(R"(title "Steps"
channels 2
speed 6
tempo 125
instrument t "t"
  synth tone
phrase a ins t
  C-4 D-4 E-4 F-4
pattern one 4
  1 a
  at 1 2 !D02
pattern two 4
  1 a
  at 0 2 !F03
  at 3 2 !B01
order one two
)", "steps.score", song, error)) << error;
  xmc::Timeline t = xmc::song_timeline(song);
  // order 0 rows 0-1, the break into order 1 rows 2-3 (still speed 6), the jump to
  // order 1 rows 0-1 at speed 3; row 2 comes round again: the loop
  EXPECT_EQ(t.rows_to_loop, 6);
  EXPECT_NEAR(t.seconds_to_loop, (2 * 6 + 2 * 6 + 2 * 3) * 882 / 44100.0, 1e-9);
  EXPECT_EQ(t.loop_order, 1);
}

}  // namespace
