// What the intro draws: raster bars, stars, the scroller's pace and pauses, and
// the large-font glyphs with their clipping.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "gfx/large_font.h"
#include "gfx/intro_effects.h"
#include "platform/clock.h"
#include "platform/virtual.h"

namespace {

constexpr uint32_t untouched = 0x00ABCDEF;

struct IntroDrawing : ::testing::Test {
  void SetUp() override {
    virtual_reset();
    frame_clear(*frame, untouched);
    intro_tables_update(*intro, intro_phase);
    // A font whose only glyph is 'A': a solid 32 x 32 block.
    std::memset(font.get(), 0, sizeof(BigFont));
    for (int row = 0; row < 32; ++row)
      for (int column = 0; column < 32; ++column) font->set[row * big_font_width + glyph_a + column] = 1;
    big_font_index_columns(*font);
  }
  int count(uint32_t colour) const {
    int n = 0;
    for (uint32_t p : frame->pixels) n += p == colour;
    return n;
  }
  static constexpr int glyph_a = ('A' - 32) * 32;
  std::unique_ptr<FrameBuffer> frame = std::make_unique<FrameBuffer>();
  std::unique_ptr<IntroScreen> intro = std::make_unique<IntroScreen>();
  std::unique_ptr<BigFont> font = std::make_unique<BigFont>();
  // The intro clocks, as the application hands them over.
  double intro_phase = 0, intro_frame_scale = 0, scroller_hold_until = 0;
};

TEST_F(IntroDrawing, ARasterBarRisesToRowFifteenAndIsCutAtTheBottom) {
  raster_bar_draw(*frame, 3, 100);
  EXPECT_EQ(frame->at(0, 100), 3u);
  EXPECT_EQ(frame->at(799, 115), 48u);   // 16 steps: the brightest row
  EXPECT_EQ(frame->at(5, 116), 45u);
  EXPECT_EQ(frame->at(5, 131), 0u);      // black again at the bottom
  EXPECT_EQ(frame->at(5, 132), untouched);
  raster_bar_draw(*frame, 7, 590);
  EXPECT_EQ(frame->at(0, 599), 70u);
  EXPECT_EQ(count(untouched), 800 * 600 - 32 * 800 - 10 * 800);
}

TEST_F(IntroDrawing, TheBarsOfBothSetsStayPureBlue) {
  for (double phase = 0; phase < 400; phase += 7.3) {
    intro_phase = phase;
    raster_bars_draw(*frame, intro_phase);
  }
  for (int y = 0; y < 600; ++y) EXPECT_TRUE(frame->at(400, y) == untouched || frame->at(400, y) < 256) << y;
}

TEST_F(IntroDrawing, AStarAtTheRightEdgeWrapsAround) {
  intro->star_x[1] = 799.5;
  intro->star_y[1] = 100;
  intro_frame_scale = 1.0 / 0.6;   // stars 1..100 move 0.6 x scale
  stars_draw(*frame, *intro, intro_frame_scale);
  EXPECT_NEAR(intro->star_x[1], 0.5, 1e-9);
}

TEST_F(IntroDrawing, StarsNearTheEdgesAreNotDrawn) {
  for (int i = 1; i <= 300; ++i) intro->star_x[i] = intro->star_y[i] = -1000;   // far off: never drawn
  intro->star_x[201] = 4.9;   // floor 4: too close to the left edge
  intro->star_y[201] = 50;
  intro->star_x[202] = 5.0;
  intro->star_y[202] = 60;
  stars_draw(*frame, *intro, intro_frame_scale);
  EXPECT_EQ(frame->at(4, 50), untouched);
  EXPECT_EQ(frame->at(5, 60), 0x999999u);   // the near layer's core
  EXPECT_EQ(frame->at(4, 60), 0x444444u);   // and its rim
  EXPECT_EQ(count(0x999999), 4);
  EXPECT_EQ(count(0x444444), 8);
}

TEST_F(IntroDrawing, TheScrollerMovesByTheFrameScaleButAtMostFivePixels) {
  intro->scroller_text = "  AAAA";
  scroller_hold_until = -1;
  intro_frame_scale = 4;
  scroller_draw(*frame, *intro, *font, intro_frame_scale, scroller_hold_until);
  EXPECT_EQ(intro->scroller_x, -4);
  intro_frame_scale = 100;   // a long stall
  scroller_draw(*frame, *intro, *font, intro_frame_scale, scroller_hold_until);
  EXPECT_EQ(intro->scroller_x, -9);
}

TEST_F(IntroDrawing, APauseMarkHoldsTheScrollerForFourSeconds) {
  intro->scroller_text = " aAA";
  scroller_hold_until = -1;
  intro->scroller_x = -30;
  intro_frame_scale = 4;
  scroller_draw(*frame, *intro, *font, intro_frame_scale, scroller_hold_until);   // -34: the mark becomes the first character
  EXPECT_EQ(intro->scroller_index, 2);
  EXPECT_EQ(intro->scroller_x, -2);
  EXPECT_DOUBLE_EQ(scroller_hold_until, clock_seconds() + 4.0);
  virtual_advance_ms(3990);
  scroller_draw(*frame, *intro, *font, intro_frame_scale, scroller_hold_until);
  EXPECT_EQ(intro->scroller_x, -2);
  virtual_advance_ms(20);
  scroller_draw(*frame, *intro, *font, intro_frame_scale, scroller_hold_until);
  EXPECT_EQ(intro->scroller_x, -6);
}

TEST_F(IntroDrawing, ThePauseMarkShowsAsABlankCell) {
  intro->scroller_text = "aA";
  scroller_hold_until = 1e9;   // standing still
  intro->scroller_x = 100;
  scroller_draw(*frame, *intro, *font, intro_frame_scale, scroller_hold_until);
  // Nothing of the mark, and the 'A' one cell to the right of it.
  int ya = intro->wave_a[140];
  EXPECT_EQ(frame->at(120, intro->wave_a[120] + 10), untouched);
  EXPECT_EQ(frame->at(140, ya + 10), intro->scroller_face[ya + 10]);
}

TEST_F(IntroDrawing, TheScrollerWrapsToTheStartAfterItsLastCharacter) {
  intro->scroller_text = "AB";
  scroller_hold_until = -1;
  intro->scroller_index = 2;
  intro->scroller_x = -31;
  intro_frame_scale = 4;
  scroller_draw(*frame, *intro, *font, intro_frame_scale, scroller_hold_until);
  EXPECT_EQ(intro->scroller_index, 1);
}

TEST_F(IntroDrawing, CentredLinesAreUpperCasedAndSkipCharactersOutsideTheFont) {
  draw_big_text_centred(*frame, *intro, *font, "a", 100);
  int lower = count(untouched);
  frame_clear(*frame, untouched);
  draw_big_text_centred(*frame, *intro, *font, "A", 100);
  EXPECT_EQ(count(untouched), lower);
  EXPECT_EQ(frame->at(384, 110), intro->credit_face[110]);   // 400 - 16
  // "{A": the brace counts for the centring but takes no room.
  frame_clear(*frame, untouched);
  draw_big_text_centred(*frame, *intro, *font, "{A", 100);
  EXPECT_EQ(frame->at(368, 110), intro->credit_face[110]);
  EXPECT_EQ(frame->at(399, 110), intro->credit_face[110]);
  EXPECT_EQ(frame->at(401, 110), untouched);
  frame_clear(*frame, untouched);
  draw_big_text_centred(*frame, *intro, *font, "", 100);
  EXPECT_EQ(count(untouched), 800 * 600);
}

TEST_F(IntroDrawing, AGlyphIsEmbossedWithShadowEdgeAndFace) {
  draw_big_glyph(*frame, *intro, *font, glyph_a, 300, 200);
  EXPECT_EQ(frame->at(299, 199), 0xFFFFFFu);   // the edge, up and left
  EXPECT_EQ(frame->at(332, 232), 0x444444u);   // the shadow, down and right
  EXPECT_EQ(frame->at(310, 210), intro->credit_face[210]);
}

TEST_F(IntroDrawing, GlyphsAreCutAtTheScreenEdgesNeverWrapped) {
  draw_big_glyph(*frame, *intro, *font, glyph_a, -20, 200);
  EXPECT_EQ(frame->at(0, 210), 0xFFFFFFu);    // column 1's edge pixel
  EXPECT_EQ(frame->at(1, 210), intro->credit_face[210]);
  EXPECT_EQ(frame->at(12, 210), 0x444444u);   // shadow of the last column
  EXPECT_EQ(frame->at(13, 210), untouched);
  frame_clear(*frame, untouched);
  draw_big_glyph(*frame, *intro, *font, glyph_a, 790, 300);
  EXPECT_EQ(frame->at(799, 310), intro->credit_face[310]);
  for (int y = 290; y < 340; ++y) EXPECT_EQ(frame->at(0, y), untouched) << y;   // nothing spilled into column 0
  frame_clear(*frame, untouched);
  draw_wave_glyph(*frame, *intro, *font, glyph_a, 785);
  for (int y = 0; y < 600; ++y) EXPECT_EQ(frame->at(0, y), untouched) << y;
  int ya = intro->wave_a[798];
  EXPECT_EQ(frame->at(798, ya + 5), intro->scroller_face[ya + 5]);
  EXPECT_EQ(frame->at(799, ya + 5), 0x444444u);   // shadow of column 798; column 799 itself is not drawn
}

TEST_F(IntroDrawing, TheMirrorImageIsUpsideDownAndStopsAboveRow598) {
  // A glyph with only its top row set.
  std::memset(font->set, 0, sizeof font->set);
  for (int column = 0; column < 32; ++column) font->set[glyph_a + column] = 1;
  big_font_index_columns(*font);
  draw_wave_glyph(*frame, *intro, *font, glyph_a, 400);
  int ya = intro->wave_a[410], yb = intro->wave_b[410];
  EXPECT_EQ(frame->at(410, ya), intro->scroller_face[ya]);
  if (yb + 31 < 598) {
    EXPECT_EQ(frame->at(410, yb + 31), intro->reflection[yb + 31]);   // the top row, shown at the bottom
  }
  for (int x = 0; x < 800; ++x)
    for (int y = 599; y < 600; ++y) EXPECT_EQ(frame->at(x, y), untouched) << x;
}

TEST_F(IntroDrawing, TheBackdropIsABlueRampOverBlack) {
  intro_clear(*frame);
  EXPECT_EQ(frame->at(10, 0), 0u);
  EXPECT_EQ(frame->at(10, 1), 150u);
  EXPECT_EQ(frame->at(10, 50), 3u);
  EXPECT_EQ(frame->at(10, 51), 0u);
  EXPECT_EQ(frame->at(799, 599), 0u);
}

}  // namespace
