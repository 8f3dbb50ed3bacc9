// Score reading: what channel lines make of phrases, and mistakes that stop the
// build with the file and the line they are on.
#include <gtest/gtest.h>

#include <string>

#include "score_parse.h"

namespace {

const char* const kHead = R"(title "Errors"
channels 4
instrument bass "bass"
  synth tone
phrase b ins bass
  C-2 . D-2 .
)";

// The message for a score made of the common head and `tail`.
std::string error_of(const std::string& tail) {
  xmc::Song song;
  std::string error;
  if (xmc::parse_score(std::string(kHead) + tail, "song.score", song, error)) return "accepted";
  return error;
}

TEST(ScoreErrors, NameTheFileAndLine) {
  EXPECT_EQ(error_of("pattern p 16\n  1 b\norder p\n"), "accepted");
  EXPECT_EQ(error_of("phrase c ins bsas\n"), "song.score:7: unknown instrument 'bsas'");
  EXPECT_EQ(error_of("phrase c ins bass\n  C-2 H-2\n"),
            "song.score:8: 'H-2' is not a note (like C-4 or F#3), '.', 'x' or '=='");
  EXPECT_EQ(error_of("phrase c ins bass\n  C-2!Q0\n"),
            "song.score:8: 'C-2!Q0': an effect is one letter or digit and two hex digits, like !A0F");
  EXPECT_EQ(error_of("phrase c ins bass\n  C-2:70\n"), "song.score:8: 'C-2:70': volume above 64");
  EXPECT_EQ(error_of("pattern p 16\n  5 b\n"), "song.score:8: channel 5 is outside 1..4");
  EXPECT_EQ(error_of("pattern p 16\n  1 c\n"), "song.score:8: unknown phrase 'c'");
  EXPECT_EQ(error_of("pattern p 16\n  1 b+90\n"), "song.score:8: 'b+90' moves a note outside C-0..B-7");
  EXPECT_EQ(error_of("pattern p 16\n  1 b\norder p q\n"), "song.score:9: unknown pattern 'q'");
  EXPECT_EQ(error_of("pattern p 16\n  1 b\norder p\nrestart 3\n"), "song.score:10: restart lies beyond the last order");
  EXPECT_EQ(error_of("pattern p 16\n  1 b\norder p\nvolume 3\n"), "song.score:10: unknown keyword 'volume'");
  EXPECT_EQ(error_of("tracker \"A tracker with a long name\"\n"), "song.score:7: the tracker name must be 1..20 characters");
}

TEST(ScoreErrors, InstrumentsAndEnvelopes) {
  EXPECT_EQ(error_of("instrument k \"k\"\n  synth snare\n  decay -4\n"), "song.score:9: decay -4 is out of range");
  EXPECT_EQ(error_of("instrument k \"k\"\n  synth tone\n  venv 0,64 0,32\n"), "song.score:9: envelope ticks must rise");
  EXPECT_EQ(error_of("instrument k \"k\"\n  synth tone\n  venv 0,64 4,32 sustain 2\n"),
            "song.score:9: envelope point index beyond the last point");
  EXPECT_EQ(error_of("instrument k \"k\"\n  synth pluck\n  loop forward\norder\n"),
            "song.score:7: instrument 'k': a pluck cannot loop (its period is not a whole number of samples)");
  EXPECT_EQ(error_of("instrument bass \"again\"\n"), "song.score:7: instrument 'bass' is already defined");
}

TEST(ScoreErrors, GroupsRepeatAndMustClose) {
  xmc::Song song;
  std::string error;
  ASSERT_TRUE(xmc::parse_score(std::string(kHead) + "phrase g ins bass\n  ( C-3 ( . )*2 )*2 D-3\n"
                                                    "pattern p 8\n  2 g\norder p\n", "g.score", song, error)) << error;
  std::string notes;
  for (int row = 0; row < 8; ++row) notes += std::to_string(song.patterns[0].cells[row * 4 + 1].note) + " ";
  EXPECT_EQ(notes, "37 0 0 37 0 0 39 37 ");  // the 7-row phrase repeats to fill the pattern
  EXPECT_EQ(error_of("phrase g ins bass\n  ( C-3 .\npattern p 16\n"), "song.score:9: '(' without ')' in the phrase above");
  EXPECT_EQ(error_of("phrase g ins bass\n  C-3 )*2\n"), "song.score:8: ')' without '('");
}

TEST(ScoreLines, ShiftShareTransposeAndPan) {
  xmc::Song song;
  std::string error;
  ASSERT_TRUE(xmc::parse_score(std::string(kHead) + "phrase e ins bass\n  C-3:40 D-3!A02\n"
                                                    "pattern p 4\n  3 >1 %50 &C0 e+2\norder p\nmix 50\n",
                               "lines.score", song, error)) << error;
  auto cell = [&](int row) { return song.patterns[0].cells[row * 4 + 2]; };
  EXPECT_EQ(cell(0).note, 0);  // shifted one row down; the rest repeats
  EXPECT_EQ(cell(1).note, 39);
  EXPECT_EQ(cell(1).volume, 0x10 + 10);  // 40, then 50% in the line, then 50% in the mix
  EXPECT_EQ(cell(1).effect, 8);
  EXPECT_EQ(cell(1).param, 0xC0);
  EXPECT_EQ(cell(2).note, 41);
  EXPECT_EQ(cell(2).volume, 0x10 + 16);  // the instrument's 64, halved twice
  EXPECT_EQ(cell(2).effect, 0xA);        // an effect of its own keeps its place
  EXPECT_EQ(cell(3).note, 39);
  EXPECT_EQ(song.instruments[0].sample.volume, 32);
}

}  // namespace
