#include <gtest/gtest.h>

#include <memory>

#include "gfx/blend_rect.h"

namespace {

class BlendRect : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = std::make_unique<FrameBuffer>();
    frame_clear(*frame, 0);
  }
  std::unique_ptr<FrameBuffer> frame;
};

TEST_F(BlendRect, ZeroWidthAndHeightBlendExactlyOnePixel) {
  blend_rect(*frame, 10, 20, 0, 0, 100, 255, 255, 255);
  EXPECT_NE(frame->at(10, 20), 0u);
  EXPECT_EQ(frame->at(11, 20), 0u);
  EXPECT_EQ(frame->at(10, 21), 0u);
  EXPECT_EQ(frame->at(9, 20), 0u);
}

TEST_F(BlendRect, TheRectangleIncludesBothEnds) {
  blend_rect(*frame, 100, 50, 8, 19, 80, 100, 150, 250);
  int touched = 0;
  for (int y = 0; y < screen_height; ++y)
    for (int x = 0; x < screen_width; ++x) touched += frame->at(x, y) != 0;
  EXPECT_EQ(touched, 9 * 20);
  EXPECT_NE(frame->at(108, 69), 0u);
}

TEST_F(BlendRect, AlphaZeroLeavesTheFrameUnchanged) {
  frame->at(5, 5) = 0x00123456;
  blend_rect(*frame, 0, 0, 10, 10, 0, 255, 255, 255);
  EXPECT_EQ(frame->at(5, 5), 0x00123456u);
  EXPECT_EQ(frame->at(6, 6), 0u);
}

TEST_F(BlendRect, AlphaEightyOverBlackGivesTheKnownChannels) {
  blend_rect(*frame, 0, 0, 0, 0, 80, 100, 150, 7);
  EXPECT_EQ((frame->at(0, 0) >> 16) & 0xFF, 31u);   // 100 * 80 / 256
  EXPECT_EQ((frame->at(0, 0) >> 8) & 0xFF, 46u);    // 150 * 80 / 256
}

TEST_F(BlendRect, EachChannelIsTheTruncatedWeightedMean) {
  const uint32_t backgrounds[] = {0x00FFFFFF, 0x00808080, 0x00FF0001, 0x0001FF7F, 0xFF3C5A78};
  for (uint32_t background : backgrounds)
    for (int alpha : {1, 5, 60, 95, 125}) {
      frame->at(0, 0) = background;
      blend_rect(*frame, 0, 0, 0, 0, alpha, 30, 200, 125);
      uint32_t got = frame->at(0, 0);
      auto mix = [&](uint32_t colour, uint32_t old) { return (colour * alpha + old * (256 - alpha)) / 256; };
      EXPECT_EQ((got >> 16) & 0xFF, mix(30, (background >> 16) & 0xFF)) << alpha;
      EXPECT_EQ((got >> 8) & 0xFF, mix(200, (background >> 8) & 0xFF)) << alpha;
      EXPECT_EQ(got & 0xFF, mix(125, background & 0xFF)) << alpha;
    }
}

}  // namespace
