// Buttons, the menu, the click latch and input sampling.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/buttons.h"
#include "app/input_sampling.h"
#include "app/menu.h"
#include "app/pointer.h"

namespace {

struct Controls {
  Buttons buttons;
  Menu menu;
  AppState app;
  std::vector<int32_t> pages_changed;
  PageChanger changer{[](void* c, int32_t page) { static_cast<Controls*>(c)->pages_changed.push_back(page); }, this};
  Controls() {
    read_button_table(buttons, pointer_and_buttons.data() + pointer_values);
    for (int e = 1; e <= 20; ++e) menu.visible[e] = e < 17;
    menu.page_marks[editorial_page] = 1;
  }
  void press(int32_t x, int32_t y) {
    app.pointer_x = x;
    app.pointer_y = y;
    app.pointer_button = 1;
  }
  void frame(const MusicCalls& music = {}) {
    handle_buttons(buttons, menu, app, false, false, changer, music);
    handle_menu_click(menu, buttons, app, changer);
  }
  void release() {
    InputSample up;
    up.mouse_x = app.pointer_x;
    up.mouse_y = app.pointer_y;
    sample_input(app, up);
  }
};

// Centre of a button's box in the current skin.
std::pair<int32_t, int32_t> centre(const Controls& c, int button) {
  const ButtonBox& b = current_box(c.buttons.button[button], c.app.skin);
  return {b.x + b.w / 2, b.y + b.h / 2};
}

TEST(ButtonTable, ReadsBothSkinsFromTheValueList) {
  Controls c;
  EXPECT_EQ(c.buttons.button[button_rules].box[0].x, 672);
  EXPECT_EQ(c.buttons.button[button_module_4].box[1].y, 137);
  EXPECT_EQ(c.buttons.button[button_module_4].box[1].w, 43);
  EXPECT_EQ(c.buttons.button[button_articles].state, 1);
  EXPECT_EQ(c.buttons.button[button_module_1].state, 1);
  EXPECT_EQ(c.buttons.button[button_of_module(2)].state, 0);
  ButtonBox box{35, 40, 88, 19};
  EXPECT_FALSE(inside_box(box, 35, 50));  // edges are outside
  EXPECT_TRUE(inside_box(box, 36, 41));
  EXPECT_FALSE(inside_box(box, 123, 50));
}

TEST(ClickLatch, APressCountsOnceAcrossControls) {
  Controls c;
  auto [x, y] = centre(c, button_rules);
  c.press(x, y);
  c.frame();
  EXPECT_EQ(c.pages_changed, std::vector<int32_t>{rules_page});
  EXPECT_EQ(c.buttons.button[button_rules].state, 1);
  EXPECT_EQ(c.menu.page_marks[11], 0);  // Rules clears the marks
  // Still held, swept over Help and the menu: nothing more happens.
  auto [hx, hy] = centre(c, button_help);
  c.press(hx, hy);
  c.frame();
  c.press(200, 65);
  c.frame();
  EXPECT_EQ(c.pages_changed.size(), 1u);
  c.release();
  EXPECT_EQ(c.app.click_latch, 0);
  c.press(hx, hy);
  c.frame();
  EXPECT_EQ(c.pages_changed, (std::vector<int32_t>{rules_page, help_page}));
  EXPECT_EQ(c.buttons.button[button_rules].state, 0);
  // Help while Help is shown does nothing, and the menu gets the press instead.
  c.release();
  c.press(hx, hy);
  c.frame();
  EXPECT_EQ(c.pages_changed.size(), 2u);
  EXPECT_EQ(c.app.click_latch, 1);
}

TEST(Menu, EntriesLoadTheirPagesOnce) {
  Controls c;
  c.press(200, 66);  // left row 1 of the articles menu: the editorial, already shown
  c.frame();
  EXPECT_TRUE(c.pages_changed.empty());
  c.release();
  c.press(200, 78);  // row 2: entry 13
  c.frame();
  EXPECT_EQ(c.pages_changed, std::vector<int32_t>{13});
  EXPECT_EQ(c.menu.page_marks[13], 1);
  EXPECT_EQ(c.menu.page_marks[11], 0);
  c.release();
  c.press(500, 66);  // right row 1: entry 17, hidden
  c.frame();
  EXPECT_EQ(c.pages_changed.size(), 1u);
  c.release();
  c.press(392, 66);  // the gap between the columns hits nothing but uses the press
  c.frame();
  EXPECT_EQ(c.app.click_latch, 1);
  EXPECT_EQ(c.pages_changed.size(), 1u);
}

TEST(Menu, RowFourAndTheSwitchEntryOverlap) {
  Controls c;
  c.app.menu_mode = menu_charts;
  c.press(500, 106);  // right row 4 (96..108) and the switch entry (104..120)
  c.frame();
  EXPECT_EQ(c.pages_changed, std::vector<int32_t>{9});
  EXPECT_EQ(c.app.menu_mode, menu_articles);
  EXPECT_EQ(c.buttons.button[button_charts].state, 0);
  c.release();
  c.press(10, 10);
  c.frame();  // the next frame lights the articles button again
  EXPECT_EQ(c.buttons.button[button_articles].state, 1);
  c.release();
  c.press(500, 115);  // switch entry alone: back to the charts menu
  c.frame();
  EXPECT_EQ(c.app.menu_mode, menu_charts);
  EXPECT_EQ(c.pages_changed.size(), 1u);
}

TEST(Buttons, MusicOffThenAModule) {
  static std::vector<int> calls;
  calls.clear();
  MusicCalls music;
  music.stop_current = [](void*) { calls.push_back(-1); };
  music.play_current = [](void*) { calls.push_back(0); };
  music.play_module = [](void*, int32_t m) { calls.push_back(m); };
  Controls c;
  auto [mx, my] = centre(c, button_music);
  c.press(mx, my);
  c.frame(music);
  EXPECT_EQ(c.buttons.button[button_music].state, 1);
  c.release();
  c.app.ticker_pos = 30;
  auto [x, y] = centre(c, button_of_module(3));
  c.press(x, y);
  c.frame(music);
  EXPECT_EQ(calls, (std::vector<int>{-1, 3}));
  EXPECT_EQ(c.buttons.button[button_music].state, 0);
  EXPECT_EQ(c.buttons.button[button_module_1].state, 0);
  EXPECT_EQ(c.buttons.button[button_of_module(3)].state, 1);
  EXPECT_EQ(c.app.current_module, 3);
  EXPECT_EQ(c.app.ticker_pos, 1);
  c.release();
  c.press(x, y);  // the playing module again: nothing
  c.frame(music);
  EXPECT_EQ(calls.size(), 2u);
}

TEST(Buttons, SkinKeysMoveEveryHitBox) {
  Controls c;
  auto [x, y] = centre(c, button_exit);  // exit in skin 1
  handle_buttons(c.buttons, c.menu, c.app, false, true, c.changer, {});
  EXPECT_EQ(c.app.skin, 2);
  handle_buttons(c.buttons, c.menu, c.app, true, true, c.changer, {});
  EXPECT_EQ(c.app.skin, 2);  // F2 wins when both were struck
  c.press(x, y);
  c.frame();
  EXPECT_EQ(c.app.exit_requested, 0);  // (79, 49) lies on the skin-2 box's top edge
  c.release();
  auto [x2, y2] = centre(c, button_exit);
  c.press(x2, y2);
  c.frame();
  EXPECT_EQ(c.app.exit_requested, 1);
}

TEST(DrawButtons, GlowRisesAndFadesAndTheHoverPointer) {
  Controls c;
  auto frame = std::make_unique<FrameBuffer>();
  auto [x, y] = centre(c, button_help);
  c.app.pointer_x = x;
  c.app.pointer_y = y;
  for (int i = 0; i < 3; ++i) draw_buttons(*frame, c.buttons, c.app);
  EXPECT_EQ(c.buttons.button[button_help].glow, 10 + 7 + 7);
  EXPECT_EQ(c.app.pointer_style, 2);
  c.app.pointer_x = 400;
  draw_buttons(*frame, c.buttons, c.app);
  EXPECT_EQ(c.buttons.button[button_help].glow, 21);
  EXPECT_EQ(c.app.pointer_style, 1);
}

TEST(SampleInput, ClampsThePointerAndPages) {
  AppState app;
  app.page_length = 100;
  InputSample in;
  in.mouse_x = 900;
  in.mouse_y = 0;
  in.page_down = true;
  sample_input(app, in);
  EXPECT_EQ(app.pointer_x, 789);
  EXPECT_EQ(app.pointer_y, 1);
  EXPECT_EQ(app.top_line, 33);
  in = {};
  in.mouse_y = 700;
  in.end = true;
  sample_input(app, in);
  EXPECT_EQ(app.pointer_x, 1);
  EXPECT_EQ(app.pointer_y, 589);
  EXPECT_EQ(app.top_line, 67);
  in = {};
  in.page_down = true;
  sample_input(app, in);
  EXPECT_EQ(app.top_line, 67);
  in = {};
  in.home = true;
  in.page_up = true;  // PageUp runs first, then Home
  sample_input(app, in);
  EXPECT_EQ(app.top_line, 0);
}

TEST(Pointer, DrawsOnlyOpaquePixelsAndStaysOnTheFrame) {
  PointerImages images;
  pointer_images_build(images, pointer_and_buttons.data());
  auto frame = std::make_unique<FrameBuffer>();
  std::fill(std::begin(frame->pixels), std::end(frame->pixels), 7u);
  draw_pointer(*frame, images, 2, 100, 100);
  EXPECT_EQ(frame->at(100, 100), 0x221100u);
  EXPECT_EQ(frame->at(101, 101), 0xDDBB77u);
  EXPECT_EQ(frame->at(110, 100), 7u);
  draw_pointer(*frame, images, 1, 791, 591);  // reaches past the frame: clipped, not wrapped
  EXPECT_EQ(frame->at(791, 591), 0x111133u);
  EXPECT_EQ(frame->at(799, 599), 0x111133u);
  EXPECT_EQ(frame->at(0, 597), 7u);  // row 5, column 9 of the arrow would land here
}

}  // namespace
