// One whole intro frame: raster bars, tables, stars, the nine credit lines, the
// scroller with its reflection, then the backdrop for the next frame.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "gfx/large_font.h"
#include "assets/issue/issue_data.h"
#include "gfx/intro_effects.h"
#include "platform/random.h"

namespace {

void BM_IntroFrame(benchmark::State& state) {
  auto frame = std::make_unique<FrameBuffer>();
  auto intro = std::make_unique<IntroScreen>();
  auto font = std::make_unique<BigFont>();
  if (!big_font_unpack(*font, issue_big_font, issue_big_font_size)) {
    state.SkipWithError("the issue has no large font");
    return;
  }
  // The issue's own texts, as the intro draws them.
  CreditLines credits;
  for (int k = 1; k <= 9; ++k) credits[k] = issue_texts.credit_lines[k];
  intro->scroller_text = issue_texts.scroller_lead;
  for (int i = 0; i < issue_texts.scroller_piece_count; ++i) intro->scroller_text += issue_texts.scroller_pieces[i];
  intro->scroller_index = 60;
  // The intro clocks at about 60 frames per second, the scroller never held.
  double intro_phase = 0, intro_frame_scale = 4.2, scroller_hold_until = -1;
  random_seed(1);
  stars_init(*intro);
  for (auto _ : state) {
    raster_bars_draw(*frame, intro_phase);
    intro_tables_update(*intro, intro_phase);
    stars_draw(*frame, *intro, intro_frame_scale);
    draw_credits(*frame, *intro, *font, credits);
    scroller_draw(*frame, *intro, *font, intro_frame_scale, scroller_hold_until);
    benchmark::DoNotOptimize(frame->pixels[300 * 800 + 400]);
    intro_clear(*frame);
    intro_phase += 0.83;
    if (intro->scroller_index > 100) intro->scroller_index = 60;
  }
}
BENCHMARK(BM_IntroFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
