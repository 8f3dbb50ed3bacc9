// The page view: opaque and clipped cells, bands, the string drawer, the scroll bar.
#include <gtest/gtest.h>

#include <memory>

#include "app/bands.h"
#include "app/page_view.h"
#include "assets/issue/issue_data.h"
#include "test_pages.h"

namespace {

constexpr uint32_t marker = 0x123456;

struct View {
  std::unique_ptr<PageStore> store = std::make_unique<PageStore>();
  std::unique_ptr<PageFont> font = std::make_unique<PageFont>();
  std::unique_ptr<FrameBuffer> frame = std::make_unique<FrameBuffer>();
  TestIssue issue;
  AppState app;
  View() {
    store->source = issue.pages();
    font_atlas_unpack(font->atlas, issue_pictures + page_font_offset);
    text_palette_build(font->palette, font->atlas.palette);
    std::fill(std::begin(frame->pixels), std::end(frame->pixels), marker);
  }
};

// The ninth column of a letter's cell is background (intensity 0).
constexpr int32_t spacing_column(int n) { return 23 + 9 * n + 8; }

TEST(PageText, OnlyMiddlePlainSlotsPaintCellBackgrounds) {
  View v;
  std::vector<TestLine> lines = {plain("")};
  for (int i = 1; i < 40; ++i) lines.push_back(plain(" AAAA", i == 6 ? '3' : '0'));
  lines.push_back(end_marker());
  v.issue.set_page(1, lines);
  load_page(*v.store, v.app, 1);
  v.app.top_line = 1;
  v.app.line_offset = 12;  // slot s starts at row 187 + 12 s: slot 0 shows rows 193..198
  draw_page_text(*v.frame, *v.store, *v.font, v.app, v.app.top_line);
  auto at = [&](int n, int slot, int r) { return v.frame->at(spacing_column(n), 187 + 12 * slot + r); };
  EXPECT_EQ(at(2, 0, 8), marker);   // top slot: strokes only
  EXPECT_EQ(at(2, 1, 5), 0u);       // slot 1: the cell's black background
  EXPECT_EQ(at(2, 30, 5), 0u);
  EXPECT_EQ(at(2, 5, 5), marker);   // slot 5 shows line 6, which has a band
  EXPECT_EQ(at(2, 31, 5), marker);  // the two bottom slots: strokes only
  EXPECT_EQ(v.frame->at(32 + 4, 187 + 12 * 3 + 5), marker);  // a space is never drawn
  // Opaque cells stop at row 569 like clipped ones; nothing reaches row 570 with skin 1.
  EXPECT_EQ(v.frame->at(spacing_column(2), 570), marker);
}

TEST(PageText, StrokesOfClippedSlotsArePainted) {
  View v;
  v.issue.set_page(1, {plain(""), plain("\xDB\xDB"), end_marker()});  // full blocks
  load_page(*v.store, v.app, 1);
  v.app.line_offset = 5;
  draw_page_text(*v.frame, *v.store, *v.font, v.app, 0);
  // Slot 1 at row 192 is opaque; its full block covers columns 32..49 from row 193.
  EXPECT_EQ(v.frame->at(32, 192), marker);
  EXPECT_EQ(v.frame->at(32, 193), 0xFFFFFFu);
  EXPECT_EQ(v.frame->at(49, 203), 0xFFFFFFu);
}

TEST(Bands, SolidStylesAndTheLongerRainbow) {
  View v;
  draw_band(*v.frame, 300, 20, 750, 2, 0);
  EXPECT_EQ(v.frame->at(20, 300), 0xFF0000u);
  EXPECT_EQ(v.frame->at(769, 299), 0x880000u);
  EXPECT_EQ(v.frame->at(770, 300), marker);
  draw_band(*v.frame, 400, 20, 750, 8, 0);
  EXPECT_NE(v.frame->at(770, 400), marker);
  EXPECT_EQ(v.frame->at(771, 400), marker);
  // t = 0: red rint(125), green rint(sin(0.96) x 124 + 125), blue rint(sin(2.47) x 124 + 125)
  EXPECT_EQ(v.frame->at(20, 400), uint32_t(125 << 16 | 227 << 8 | 202));
  draw_band(*v.frame, 450, 20, 750, 9, 0);
  EXPECT_EQ(v.frame->at(20, 450), marker);
}

TEST(Bands, RainbowMovesWithThePhase) {
  View v;
  draw_band(*v.frame, 400, 20, 10, 8, 0);
  uint32_t second = v.frame->at(21, 400);
  draw_band(*v.frame, 400, 20, 10, 8, 1);
  EXPECT_EQ(v.frame->at(20, 400), second);
}

TEST(Bands, PageBandsStayInsideTheView) {
  View v;
  std::vector<TestLine> lines;
  for (int i = 0; i < 40; ++i) lines.push_back(plain("x", '1'));
  lines.push_back(end_marker());
  v.issue.set_page(1, lines);
  load_page(*v.store, v.app, 1);
  v.app.line_offset = 12;
  draw_page_bands(*v.frame, *v.store, v.app, 0);
  EXPECT_EQ(v.frame->at(20, 193), 0xFFFFFFu);  // slot 0: yb = 193
  EXPECT_EQ(v.frame->at(20, 565), 0xFFFFFFu);  // slot 31: yb = 565
  for (int y = 567; y < 600; ++y) EXPECT_NE(v.frame->at(20, y), 0xFFFFFFu) << y;  // slot 32 (577) is not drawn
}

TEST(TextClipped, TheClipBoxBoundsWhatIsDrawn) {
  View v;
  std::string text(58, '\xDB');
  draw_text_clipped(*v.frame, *v.font, text, 146 - 4, 136, 146, 649, 40, 145, 2, 1);
  EXPECT_EQ(v.frame->at(145, 138), marker);
  EXPECT_EQ(v.frame->at(146, 138), 0xFFFFFFu);  // the cut first character
  EXPECT_EQ(v.frame->at(649, 138), 0xFFFFFFu);
  EXPECT_EQ(v.frame->at(650, 138), marker);
  EXPECT_EQ(v.frame->at(300, 145), 0xFFFFFFu);
  EXPECT_EQ(v.frame->at(300, 146), marker);
}

TEST(ScrollBar, DragMapsRowsToLines) {
  AppState app;
  app.page_length = 100;
  app.pointer_x = 780;
  app.pointer_button = 1;
  app.click_latch = 1;  // the bar ignores the latch
  app.pointer_y = 202;
  handle_scrollbar(app);
  EXPECT_EQ(app.scrollbar_dragging, 1);
  EXPECT_EQ(app.top_line, 0);
  app.pointer_y = 376;  // (376 - 200) x 68 / 352 = 34
  handle_scrollbar(app);
  EXPECT_EQ(app.top_line, 34);
  app.pointer_x = 100;  // a drag follows the pointer anywhere
  app.pointer_y = 590;
  handle_scrollbar(app);
  EXPECT_EQ(app.top_line, 67);
  app.pointer_y = 10;
  handle_scrollbar(app);
  EXPECT_EQ(app.top_line, 0);
  EXPECT_EQ(app.pointer_style, 1);  // the plain pointer while dragging
  app.pointer_button = 0;
  handle_scrollbar(app);
  EXPECT_EQ(app.scrollbar_dragging, 0);
}

TEST(ScrollBar, HoverGlowAndTheExactlyFullPage) {
  AppState app;
  app.page_length = 33;
  app.pointer_x = 785;  // skin 2 grip: 781..795
  app.pointer_y = 400;
  app.skin = 2;
  for (int i = 0; i < 30; ++i) handle_scrollbar(app);
  EXPECT_EQ(app.scrollbar_glow, 125);
  EXPECT_EQ(app.pointer_style, 2);
  app.pointer_button = 1;
  handle_scrollbar(app);
  EXPECT_EQ(app.top_line, 0);
  app.pointer_button = 0;
  app.pointer_x = 700;
  handle_scrollbar(app);
  EXPECT_EQ(app.scrollbar_glow, 120);
}

TEST(ScrollBar, KnobRunsFrom195To556) {
  View v;
  std::fill(std::begin(v.frame->pixels), std::end(v.frame->pixels), 0u);
  v.app.page_length = 100;
  v.app.top_line = 67;
  draw_scrollbar(*v.frame, v.app);
  EXPECT_EQ(v.frame->at(779, 555), 0u);
  EXPECT_EQ(v.frame->at(779, 556), 0x1F2E4Eu);  // alpha 80 of (100, 150, 250) over black
  EXPECT_EQ(v.frame->at(787, 575), 0x1F2E4Eu);
  v.app.page_length = 33;
  std::fill(std::begin(v.frame->pixels), std::end(v.frame->pixels), 0u);
  draw_scrollbar(*v.frame, v.app);
  EXPECT_EQ(v.frame->at(779, 195), 0u);
}

}  // namespace
