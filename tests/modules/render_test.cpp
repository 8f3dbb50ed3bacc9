// The embedded modules played by the magazine's own engine: no sample clips, the
// four are about equally loud, and the engine's orders and rows come back to the
// restart position when the score's timeline says they do; xmrender --until-end
// stops there.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "assets/modules/embedded_modules.h"
#include "score_parse.h"
#include "timeline.h"
#include "xm/xm_mixer.h"
#include "xm/xm_module.h"
#include "xm/xm_player.h"

namespace {

struct Heard {
  double peak_dbfs = 0;
  double loudness_db = 0;  // RMS over both channels
  int order_before_loop = -1, order_after_loop = -1;
};

Heard play(int n, double seconds) {
  Heard h;
  EmbeddedModule bytes = embedded_module(n);
  XmModule* module = xm_load_from_memory(bytes.data, bytes.size);
  EXPECT_NE(module, nullptr);
  if (!module) return h;
  auto renderer = std::make_unique<XmRenderer>();
  EXPECT_TRUE(xm_renderer_start(*renderer, *module));
  const long frames = std::lround(seconds * xm_output_rate);
  int peak = 0;
  double sum = 0;
  for (long done = 0; done < frames + xm_output_rate / 10; done += xm_block_frames) {
    int32_t index = renderer->fill_index;
    xm_fill_block(*renderer);
    BlockRecord record = renderer->records[index];
    if (done + xm_block_frames < frames) {
      h.order_before_loop = record.order;
      const int16_t* data = xm_ring_block(*renderer, index);
      for (int i = 0; i < xm_block_frames * 2; ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(data[i])));
        sum += static_cast<double>(data[i]) * data[i];
      }
    } else {
      h.order_after_loop = record.order;
    }
  }
  xm_renderer_release(*renderer);
  xm_release(module);
  h.peak_dbfs = 20 * std::log10(peak / 32768.0);
  h.loudness_db = 10 * std::log10(sum / (frames * 2.0) / (32768.0 * 32768.0));
  return h;
}

TEST(ModulesRender, NoClippingAndMatchedLoudness) {
  double loudest = -200, softest = 0;
  for (int n = 1; n <= 4; ++n) {
    SCOPED_TRACE("module " + std::to_string(n));
    xmc::Song song;
    std::string error;
    ASSERT_TRUE(xmc::load_score(std::string(MAG_SOURCE_DIR) + "/assets/modules/src/module" + std::to_string(n) + ".score",
                                song, error)) << error;
    xmc::Timeline t = xmc::song_timeline(song);
    Heard h = play(n, t.seconds_to_loop);
    EXPECT_LT(h.peak_dbfs, -0.5);
    EXPECT_EQ(h.order_before_loop, static_cast<int>(song.orders.size()) - 1);
    EXPECT_EQ(h.order_after_loop, t.loop_order);
    loudest = std::max(loudest, h.loudness_db);
    softest = std::min(softest, h.loudness_db);
  }
  EXPECT_LT(loudest - softest, 3.0);
}

TEST(ModulesRender, UntilEndStopsAtEachSongsLoopPoint) {
  for (int n = 1; n <= 4; ++n) {
    SCOPED_TRACE("module " + std::to_string(n));
    xmc::Song song;
    std::string error;
    const std::string base = std::string(MAG_SOURCE_DIR) + "/assets/modules/";
    ASSERT_TRUE(xmc::load_score(base + "src/module" + std::to_string(n) + ".score", song, error)) << error;
    xmc::Timeline t = xmc::song_timeline(song);
    const std::string wav = ::testing::TempDir() + "until_end_" + std::to_string(n) + ".wav";
    const std::string command = std::string(MAG_BINARY_DIR) + "/xmrender " + base + "module" + std::to_string(n) +
                                ".xm -o " + wav + " --until-end";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const double seconds = double(std::filesystem::file_size(wav) - 44) / 4 / xm_output_rate;
    const double row = t.seconds_to_loop / t.rows_to_loop;
    EXPECT_NEAR(seconds, t.seconds_to_loop, row) << "within one row (" << row << " s) of the loop point";
    std::remove(wav.c_str());
  }
}

}  // namespace
