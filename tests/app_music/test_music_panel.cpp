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

TEST(MusicBars, NotesRaiseTheirBarAndNeighbours) {
  MusicBars bars;
  reset_bars(bars);
  for (double level : bars.levels) EXPECT_EQ(level, music_bar_floor);
  uint16_t cells[8] = {};
  cells[0] = 46 | 3 << 8;  // instrument byte ignored
  cells[1] = 45;           // bar 0 itself has no note
  cells[2] = 84;           // above the last bar
  cells[3] = 83;
  cells[4] = 255;          // key off
  excite_bars(bars, 5, cells);
  EXPECT_EQ(bars.levels[0], 144);
  EXPECT_EQ(bars.levels[1], 143);
  EXPECT_EQ(bars.levels[2], 144);
  EXPECT_EQ(bars.levels[3], 147);
  EXPECT_EQ(bars.levels[37], 144);
  EXPECT_EQ(bars.levels[38], 143);
  EXPECT_EQ(bars.levels[39], 144);
  excite_bars(bars, 2, cells);  // a row lasting two frames excites twice
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
  auto owned = std::make_unique<BackgroundMusic>();
  BackgroundMusic& music = *owned;
  XmPlayer& player = music.player;
  play_module_1(music);
  EXPECT_TRUE(xm_is_playing(player));
  EXPECT_EQ(music.music_channels, xm_current_channels(player));
  EXPECT_GT(music.music_channels, 0);
  sleep_ms(2500);
  EXPECT_GT(xm_current_time(player), 0u);
  xm_stop_current(player);  // button 6: music off
  EXPECT_FALSE(xm_is_playing(player));
  play_module_3(music);     // a module button: the music is on again, from the start
  EXPECT_TRUE(xm_is_playing(player));
  EXPECT_LT(xm_current_time(player), 40u) << "the first block is heard";
  xm_stop_current(player);
  xm_free_current(player);
  EXPECT_EQ(xm_current_channels(player), 0);
  play_module(music, 5);
  EXPECT_FALSE(xm_is_playing(player));
  EXPECT_EQ(music.music_channels, 0);
}

TEST(BackgroundMusic, MagazineHooksDriveTheMusicAndBars) {
  virtual_reset();
  auto owned = std::make_unique<BackgroundMusic>();
  BackgroundMusic& music = *owned;
  MusicCalls calls = background_music_calls(music);
  reset_bars(music.bars);
  calls.play_module(calls.context, 2);
  ASSERT_TRUE(xm_is_playing(music.player));
  auto frame = std::make_unique<FrameBuffer>();
  double lowest = music_bar_floor;
  for (int f = 0; f < 400; ++f) {  // frames of 10 ms: the bars move with the notes heard
    sleep_ms(10);
    calls.update_bars(calls.context, *frame, 1);
    for (int i = 0; i < music_bar_count; ++i) lowest = std::min(lowest, music.bars.levels[i]);
  }
  EXPECT_LT(lowest, music_bar_floor - 2) << "some bar rose";
  calls.stop_current(calls.context);
  EXPECT_FALSE(xm_is_playing(music.player));
  calls.play_current(calls.context);
  EXPECT_TRUE(xm_is_playing(music.player));
  xm_stop_current(music.player);
  xm_free_current(music.player);
}

TEST(BackgroundMusic, AFailingDeviceLeavesTheMagazineQuietAndMoving) {
  // The change to the magazine, music off and on, a module button and the end,
  // with a wave device that fails every call: nothing hangs, nothing is said.
  virtual_reset();
  virtual_fail_wave_calls(~0u, wave_error);
  ::testing::internal::CaptureStderr();
  auto owned = std::make_unique<BackgroundMusic>();
  BackgroundMusic& music = *owned;
  MusicCalls calls = background_music_calls(music);
  reset_bars(music.bars);
  double started = clock_seconds();
  play_module_1(music);
  EXPECT_FALSE(xm_is_playing(music.player));
  EXPECT_GT(music.music_channels, 0) << "the module loaded; only the device failed";
  auto frame = std::make_unique<FrameBuffer>();
  for (int f = 0; f < 10; ++f) calls.update_bars(calls.context, *frame, 1);
  calls.stop_current(calls.context);
  calls.play_current(calls.context);
  calls.play_module(calls.context, 4);
  xm_stop_current(music.player);
  xm_free_current(music.player);
  EXPECT_LT(clock_seconds() - started, 0.1) << "no waiting on the device";
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  for (int i = 0; i < music_bar_count; ++i) EXPECT_GE(music.bars.levels[i], music_bar_floor) << "no notes heard";
}
