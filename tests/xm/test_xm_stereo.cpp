// Stereo as every XM file expects it: pan 0 is the left channel (the first
// sample of each frame), 255 the right, 128 the centre; the panning envelope,
// the pan effects and the volume column's pan slides move towards the right as
// their values grow.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/xm/xm_test_support.h"

using namespace xmw;

namespace {

struct Sides {
  int64_t left = 0, right = 0;
};

// Sum of |sample| per side over the rows given, of a one-channel song.
Sides heard(const Song& song, int from_block, int blocks) {
  ModulePtr m = load_song(song);
  RendererPtr r = start_renderer(*m);
  Sides sides;
  for (int b = 0; b < from_block + blocks; ++b) {
    int32_t index = r->fill_index;
    xm_fill_block(*r);
    if (b < from_block) continue;
    const int16_t* data = xm_ring_block(*r, index);
    for (int i = 0; i < xm_block_frames; ++i) {
      sides.left += std::abs(data[2 * i]);
      sides.right += std::abs(data[2 * i + 1]);
    }
  }
  return sides;
}

Song panned_note(uint8_t sample_pan) {
  Song song = one_channel_song(square_sample());
  song.instruments[0].samples[0].panning = sample_pan;
  at(song.patterns[0], 1, 0, 0) = {note("C-4"), 1, 0, 0, 0};
  return song;
}

}  // namespace

TEST(XmStereo, PanZeroIsLeftAnd255IsRight) {
  Sides left = heard(panned_note(0), 0, 20);
  EXPECT_GT(left.left, 0);
  EXPECT_EQ(left.right, 0);
  Sides right = heard(panned_note(255), 0, 20);
  EXPECT_EQ(right.left, 0);
  EXPECT_GT(right.right, 0);
  EXPECT_EQ(right.right, left.left) << "the same note, mirrored";
  Sides centre = heard(panned_note(128), 0, 20);
  EXPECT_EQ(centre.left, centre.right) << "centre: 63/255 on each side";
}

TEST(XmStereo, PanEffectsMoveTowardsTheRightAsTheyGrow) {
  Song set = panned_note(128);
  set.patterns[0].cells[0].effect = 0x08;  // 8C0: three quarters right
  set.patterns[0].cells[0].parameter = 0xC0;
  Sides s = heard(set, 5, 10);
  EXPECT_GT(s.right, 2 * s.left);

  Song slide = panned_note(128);
  at(slide.patterns[0], 1, 1, 0) = {0, 0, 0, 0x19, 0xF0};  // P F0: right by 15 a tick
  at(slide.patterns[0], 1, 2, 0) = {0, 0, 0, 0x19, 0xF0};
  s = heard(slide, 35, 5);
  EXPECT_EQ(s.left, 0) << "slid all the way right";
  EXPECT_GT(s.right, 0);

  Song column = panned_note(128);
  at(column.patterns[0], 1, 1, 0) = {0, 0, 0xDF, 0, 0};  // volume column D: pan left by 15
  at(column.patterns[0], 1, 2, 0) = {0, 0, 0xDF, 0, 0};
  s = heard(column, 35, 5);
  EXPECT_EQ(s.right, 0) << "slid all the way left";
  EXPECT_GT(s.left, 0);
}

TEST(XmStereo, PanningEnvelopeAboveTheCentreGoesRight) {
  Song song = panned_note(128);
  Instrument& ins = song.instruments[0];
  ins.panning.points = {{0, 32}, {10, 64}};  // from the centre to the right edge
  ins.panning.type = xm_envelope_on;
  Sides s = heard(song, 12, 10);
  EXPECT_EQ(s.left, 0);
  EXPECT_GT(s.right, 0);
  ins.panning.points = {{0, 32}, {10, 0}};
  s = heard(song, 12, 10);
  EXPECT_EQ(s.right, 0);
  EXPECT_GT(s.left, 0);
}
