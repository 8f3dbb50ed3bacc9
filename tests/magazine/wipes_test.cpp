// The comb wipes: exact columns, frame count, and a skin switch while one runs.
#include <gtest/gtest.h>

#include <memory>

#include "app/page_change.h"
#include "gfx/wipe_comb.h"
#include "platform/virtual.h"

namespace {

constexpr uint32_t white = 0xFFFFFF;

std::unique_ptr<FrameBuffer> white_frame() {
  auto f = std::make_unique<FrameBuffer>();
  std::fill(std::begin(f->pixels), std::end(f->pixels), white);
  return f;
}

TEST(WipeComb, LastOutStepLeavesSixColumns) {
  auto f = white_frame();
  wipe_comb(*f, wipe_out_value(wipe_steps - 1), wipe_bottom(1));
  EXPECT_EQ(wipe_out_value(wipe_steps - 1), 740);
  for (int x = 20; x <= 767; ++x) {
    bool left_open = x == 21 || x == 23 || x == 25, right_open = x == 762 || x == 764 || x == 766;
    EXPECT_EQ(f->at(x, 300), left_open || right_open ? white : 0u) << x;
  }
  EXPECT_EQ(f->at(19, 300), white);
  EXPECT_EQ(f->at(768, 300), white);
  EXPECT_EQ(f->at(100, 191), white);
  EXPECT_EQ(f->at(100, 569), 0u);
  EXPECT_EQ(f->at(100, 570), white);  // skin 1 stops at row 569
}

TEST(WipeComb, FirstAndLastInSteps) {
  auto f = white_frame();
  wipe_comb(*f, wipe_in_value(0), wipe_bottom(2));
  for (int x = 20; x <= 767; ++x) EXPECT_EQ(f->at(x, 400), 0u) << x;
  EXPECT_EQ(f->at(300, 570), 0u);  // skin 2 reaches row 570
  auto g = white_frame();
  EXPECT_EQ(wipe_in_value(wipe_steps - 1), 7);
  wipe_comb(*g, 7, wipe_bottom(1));
  for (int x = 20; x <= 767; ++x) {
    bool black = x == 20 || x == 22 || x == 24 || x == 26 || x == 767 || x == 765 || x == 763 || x == 761;
    EXPECT_EQ(g->at(x, 400), black ? 0u : white) << x;
  }
}

struct WipeRun {
  std::unique_ptr<Magazine> magazine = std::make_unique<Magazine>();
  std::unique_ptr<FrameBuffer> frame = std::make_unique<FrameBuffer>();
  AppState app;
  int presented = 0;
  bool row_570_black_seen = false;
  int switch_at = -1;
  WipeRun() {
    virtual_reset();
    magazine_init(*magazine, app);
    // White backgrounds: only the comb blackens column 20, at any row.
    for (auto& background : magazine->skins.background)
      std::fill(std::begin(background.pixels), std::end(background.pixels), white);
  }
  FramePresenter presenter() {
    return {[](void* c, FrameBuffer& frame) {
              auto& run = *static_cast<WipeRun*>(c);
              ++run.presented;
              if (frame.at(20, 570) == 0) run.row_570_black_seen = true;
              if (run.presented == run.switch_at) run.app.skin = 2;
            },
            this};
  }
};

TEST(PageChange, TwoWipesOf75FramesAroundTheLoad) {
  WipeRun run;
  double phase = run.app.magazine_phase;
  run_page_change(*run.frame, *run.magazine, run.app, {}, run.presenter(), 12);
  EXPECT_EQ(run.presented, 150);
  EXPECT_EQ(run.app.page_length, 411);
  EXPECT_GT(run.app.magazine_phase, phase);  // the rainbow keeps moving
}

TEST(PageChange, SkinSwitchDuringAWipeKeepsItsHeight) {
  WipeRun run;
  run.switch_at = 20;  // F2 handled elsewhere, mid-wipe
  wipe_out(*run.frame, *run.magazine, run.app, {}, run.presenter());
  EXPECT_FALSE(run.row_570_black_seen);  // the wipe kept skin 1's page area
  EXPECT_EQ(run.app.skin, 2);
  wipe_in(*run.frame, *run.magazine, run.app, {}, run.presenter());
  EXPECT_TRUE(run.row_570_black_seen);  // the next wipe reads the new skin
}

}  // namespace
