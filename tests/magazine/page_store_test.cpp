// load_page: end markers, column tables, what survives from the previous page.
#include <gtest/gtest.h>

#include <memory>

#include "app/page_store.h"
#include "test_pages.h"

namespace {

struct Store {
  std::unique_ptr<PageStore> store = std::make_unique<PageStore>();
  TestIssue issue;
  AppState app;
  Store() { store->source = issue.pages(); }
};

TEST(LoadPage, MarkerSetsTheLengthAndResetsTheView) {
  Store s;
  s.issue.set_page(3, {plain(""), plain("one"), plain("two"), end_marker(), plain("after the end")});
  s.app.top_line = 40;
  s.app.line_offset = 7;
  load_page(*s.store, s.app, 3);
  EXPECT_EQ(s.app.page_length, 3);
  EXPECT_EQ(s.app.top_line, 0);
  EXPECT_EQ(s.app.line_offset, 0);
  EXPECT_EQ(s.store->characters[1][1], 'o');
  EXPECT_EQ(s.store->characters[2][3], 'o');
  EXPECT_EQ(s.store->characters[4][1], 'a');  // lines past the marker are still copied
  s.issue.set_page(4, {plain(""), plain("x")});
  load_page(*s.store, s.app, 4);
  EXPECT_EQ(s.app.page_length, 4999);  // no marker at all
  EXPECT_EQ(s.store->characters[4][1], 0);
}

TEST(LoadPage, ColumnsColoursAndFonts) {
  Store s;
  std::string long_text(81, 'a');
  long_text[79] = 'Y';
  long_text[80] = 'Z';
  s.issue.set_page(1, {plain(""), {"abcde", "1AVz", "12x0", '7'}, plain(long_text), end_marker()});
  load_page(*s.store, s.app, 1);
  const PageStore& p = *s.store;
  EXPECT_EQ(p.characters[1][0], 0);  // column 0 stays empty
  EXPECT_EQ(p.colours[1][1], 1);
  EXPECT_EQ(p.colours[1][2], 10);
  EXPECT_EQ(p.colours[1][3], 31);
  EXPECT_EQ(p.colours[1][4], 1);   // 'z' is no code
  EXPECT_EQ(p.colours[1][5], 1);   // past the colour string
  EXPECT_EQ(p.fonts[1][1], 1);
  EXPECT_EQ(p.fonts[1][2], 2);
  EXPECT_EQ(p.fonts[1][3], 0);     // a non-digit hides
  EXPECT_EQ(p.fonts[1][5], 0);     // past the style string
  EXPECT_EQ(p.bands[1], 7);
  EXPECT_EQ(p.characters[2][80], 'Y');  // an 81st character is never shown
  EXPECT_EQ(p.characters[1][6], 0);
}

TEST(LoadPage, NothingOfThePreviousPageSurvives) {
  Store s;
  std::vector<TestLine> long_page(20, plain("long page line", '8'));
  long_page.push_back(end_marker());
  s.issue.set_page(1, long_page);
  s.issue.set_page(2, {plain(""), plain("short"), end_marker()});
  load_page(*s.store, s.app, 1);
  load_page(*s.store, s.app, 2);
  EXPECT_EQ(s.app.page_length, 2);
  // The marker line and everything after it: no characters, no band.
  for (int line = 2; line < 25; ++line) {
    EXPECT_EQ(s.store->bands[line], -1) << line;
    EXPECT_EQ(s.store->characters[line][1], 0) << line;
  }
}

TEST(LoadPage, TheIssueHasTheLengthsTheMenuExpects) {
  auto store = std::make_unique<PageStore>();
  AppState app;
  const int lengths[21] = {0, 42, 35, 57, 1615, 64, 29, 22, 180, 63, 117, 67, 411, 87, 88, 153, 7, 5, 7, 3, 5};
  for (int page = 1; page <= 20; ++page) {
    load_page(*store, app, page);
    EXPECT_EQ(app.page_length, lengths[page]) << page;
  }
}

}  // namespace
