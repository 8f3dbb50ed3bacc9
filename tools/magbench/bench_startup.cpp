// Start-up: what the program does from its start to its first presented frame,
// except opening the window: the program's instances made, the page tables and
// the editorial, menus, skins unpacked, font atlas and text palette, pointer and
// buttons, intro texts, tune and module tables, music bars, the large font
// unpacked, and the first (black) frame cleared.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/main_flow.h"
#include "assets/issue/issue_data.h"

namespace {

void BM_StartUp(benchmark::State& state) {
  std::unique_ptr<Program> previous;
  for (auto _ : state) {
    auto program = std::make_unique<Program>();
    start_up_tables(*program);
    big_font_unpack(program->big_font, issue_big_font, issue_big_font_size);
    frame_clear(program->frame);
    benchmark::DoNotOptimize(program->frame.pixels[0]);
    state.PauseTiming();
    previous = std::move(program);   // the old one is freed outside the measurement
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
