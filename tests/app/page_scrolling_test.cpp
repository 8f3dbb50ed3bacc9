// The page view never leaves 0..page_length - 33, by any input.
#include <gtest/gtest.h>

#include "app/page_scrolling.h"

namespace {

AppState page_of(int lines) {
  AppState app;
  app.page_length = lines;
  return app;
}

TEST(ArrowScrolling, DownMovesSixPixelsAFrameAndALineEverySecondFrame) {
  AppState app = page_of(100);
  scroll_by_arrow_keys(app, true, false);
  EXPECT_EQ(app.top_line, 1);   // 0 - 6 <= 0: a line, back to 6
  EXPECT_EQ(app.line_offset, 6);
  scroll_by_arrow_keys(app, true, false);
  EXPECT_EQ(app.top_line, 2);   // 6 - 6 = 0 counts as reaching the line
  EXPECT_EQ(app.line_offset, 12);
  scroll_by_arrow_keys(app, true, false);
  EXPECT_EQ(app.top_line, 2);
  EXPECT_EQ(app.line_offset, 6);
}

TEST(ArrowScrolling, UpStepsAtElevenNotTwelve) {
  AppState app = page_of(100);
  app.top_line = 10;
  app.line_offset = 5;
  scroll_by_arrow_keys(app, false, true);
  EXPECT_EQ(app.top_line, 9);
  EXPECT_EQ(app.line_offset, -1);
  scroll_by_arrow_keys(app, false, true);
  EXPECT_EQ(app.top_line, 9);
  EXPECT_EQ(app.line_offset, 5);
}

TEST(ArrowScrolling, HoldingAKeyForeverStaysWithinThePage) {
  AppState app = page_of(60);
  for (int i = 0; i < 500; ++i) scroll_by_arrow_keys(app, true, false);
  EXPECT_EQ(app.top_line, 27);
  for (int i = 0; i < 500; ++i) scroll_by_arrow_keys(app, false, true);
  EXPECT_EQ(app.top_line, 0);
}

TEST(ArrowScrolling, APageThatFitsTheViewDoesNotMove) {
  for (int lines : {1, 32, 33}) {
    AppState app = page_of(lines);
    scroll_by_arrow_keys(app, true, false);
    scroll_by_wheel(app, -5);
    scroll_page_down(app);
    EXPECT_EQ(app.top_line, 0) << lines;
    EXPECT_EQ(app.line_offset, 0) << lines;
  }
}

TEST(WheelScrolling, ANotchMovesFourLinesAndFastTurnsAreLimited) {
  AppState app = page_of(100);
  scroll_by_wheel(app, -1);
  EXPECT_EQ(app.top_line, 4);
  scroll_by_wheel(app, -1000);
  EXPECT_EQ(app.top_line, 67);
  scroll_by_wheel(app, 1000);
  EXPECT_EQ(app.top_line, 0);
  scroll_by_wheel(app, 1000);   // unchanged counter: nothing moves
  EXPECT_EQ(app.top_line, 0);
  EXPECT_EQ(app.line_offset, 0);
}

TEST(PageKeys, PagesMoveThirtyThreeLinesAndEndsAreExact) {
  AppState app = page_of(1615);
  scroll_page_down(app);
  EXPECT_EQ(app.top_line, 33);
  scroll_to_end(app);
  EXPECT_EQ(app.top_line, 1582);
  scroll_page_down(app);
  EXPECT_EQ(app.top_line, 1582);
  scroll_page_up(app);
  EXPECT_EQ(app.top_line, 1549);
  scroll_to_home(app);
  EXPECT_EQ(app.top_line, 0);
  scroll_page_up(app);
  EXPECT_EQ(app.top_line, 0);
  AppState short_page = page_of(7);
  scroll_to_end(short_page);
  EXPECT_EQ(short_page.top_line, 0);
}

}  // namespace
