// Music panel: bars jump with the notes heard and fall back, drawn in the
// skin's colours; the module buttons' glue plays the embedded modules.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/background_music.h"
#include "app/music_bars.h"
#include "platform/clock.h"
#include "platform/virtual.h"
#include "xm/xm_player.h"

namespace {

uint16_t cells[8];
uint16_t fake_cell(int32_t channel) { return cells[channel]; }

}  // namespace

TEST(MusicBars, NotesRaiseTheirBarAndNeighbours) {
  MusicBars bars;
  reset_bars(bars);
  for (double level : bars.levels) EXPECT_EQ(level, music_bar_floor);
  cells[0] = 46 | 3 << 8;  // instrument byte ignored
  cells[1] = 45;           // bar 0 itself has no note
  cells[2] = 84;           // above the last bar
  cells[3] = 83;
  cells[4] = 255;          // key off
  excite_bars(bars, 5, fake_cell);
  EXPECT_EQ(bars.levels[0], 144);
  EXPECT_EQ(bars.levels[1], 143);
  EXPECT_EQ(bars.levels[2], 144);
  EXPECT_EQ(bars.levels[3], 147);
  EXPECT_EQ(bars.levels[37], 144);
  EXPECT_EQ(bars.levels[38], 143);
  EXPECT_EQ(bars.levels[39], 144);
  excite_bars(bars, 2, fake_cell);  // a row lasting two frames excites twice
  EXPECT_EQ(bars.levels[1], 139);
  EXPECT_EQ(bars.levels[38], 143) << "only the channels asked for";
}

TEST(MusicBars, DrawRisesAtMostTo131AndFalls) {
  auto frame = std::make_unique<FrameBuffer>();
  MusicBars bars;
  reset_bars(bars);
  bars.levels[2] = 50;  // far above: held at 131, then falls 2
  bars.levels[5] = 140.5;
  draw_bars(bars, *frame, 1);
  EXPECT_EQ(bars.levels[2], 133);
  EXPECT_EQ(bars.levels[5], 142.5);
  EXPECT_EQ(bars.levels[0], 149) << "a bar at rest ends below the floor";
  int x2 = 157 + 12 * 2 + 1;
  EXPECT_EQ(frame->at(x2, 133), 0x000000u);
  EXPECT_EQ(frame->at(x2, 135), 0xEEBB33u);
  EXPECT_EQ(frame->at(x2 + 10, 147), 0x221111u);
  EXPECT_EQ(frame->at(x2 + 11, 140), 0u) << "the 12th column stays";
  EXPECT_EQ(frame->at(x2, 132), 0u);
  int x5 = 157 + 12 * 5 + 1;
  EXPECT_EQ(frame->at(x5, 141), 0u);
  EXPECT_EQ(frame->at(x5, 142), 0x774422u);
  EXPECT_EQ(frame->at(157 + 1, 147), 0u) << "bars at rest draw nothing";

  auto cold = std::make_unique<FrameBuffer>();
  bars.levels[2] = 50;
  draw_bars(bars, *cold, 2);
  EXPECT_EQ(cold->at(x2, 135 + 2), 0x33BBEEu) << "skin 2: two rows lower, cold colours";
  EXPECT_EQ(cold->at(x2, 147 + 2), 0x111122u);
  EXPECT_EQ(cold->at(x2, 134), 0u);
  // Falling all the way back.
  for (int i = 0; i < 20; ++i) draw_bars(bars, *cold, 2);
  EXPECT_EQ(bars.levels[2], 149);
}

TEST(BackgroundMusic, ModuleButtonsPlayTheEmbeddedModules) {
  virtual_reset();
  play_module_1();
  EXPECT_TRUE(xm_is_playing());
  EXPECT_EQ(music_channels, xm_current_channels());
  EXPECT_GT(music_channels, 0);
  sleep_ms(2500);
  EXPECT_GT(xm_current_time(), 0u);
  xm_stop_current();  // button 6: music off
  EXPECT_FALSE(xm_is_playing());
  play_module_3();    // a module button: the music is on again, from the start
  EXPECT_TRUE(xm_is_playing());
  EXPECT_LT(xm_current_time(), 40u) << "the first block is heard";
  xm_stop_current();
  xm_free_current();
  EXPECT_EQ(xm_current_channels(), 0);
  play_module(5);
  EXPECT_FALSE(xm_is_playing());
  EXPECT_EQ(music_channels, 0);
}

TEST(BackgroundMusic, MagazineHooksDriveTheMusicAndBars) {
  virtual_reset();
  MusicCalls calls = background_music_calls();
  reset_bars(background_bars);
  calls.play_module(2);
  ASSERT_TRUE(xm_is_playing());
  auto frame = std::make_unique<FrameBuffer>();
  double lowest = music_bar_floor;
  for (int f = 0; f < 400; ++f) {  // frames of 10 ms: the bars move with the notes heard
    sleep_ms(10);
    calls.update_bars(*frame, 1);
    for (int i = 0; i < music_bar_count; ++i) lowest = std::min(lowest, background_bars.levels[i]);
  }
  EXPECT_LT(lowest, music_bar_floor - 2) << "some bar rose";
  calls.stop_current();
  EXPECT_FALSE(xm_is_playing());
  calls.play_current();
  EXPECT_TRUE(xm_is_playing());
  xm_stop_current();
  xm_free_current();
}
