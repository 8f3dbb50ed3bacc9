// The floor for every frame: a plain copy of one 800 x 600 frame.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "gfx/frame_buffer.h"

static void BM_FrameCopy(benchmark::State& state) {
  auto source = std::make_unique<FrameBuffer>();
  auto target = std::make_unique<FrameBuffer>();
  for (int i = 0; i < screen_pixels; ++i) source->pixels[i] = uint32_t(i * 2654435761u);
  for (auto _ : state) {
    std::memcpy(target->pixels, source->pixels, sizeof source->pixels);
    benchmark::DoNotOptimize(target->pixels[12345]);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(sizeof source->pixels));
}
BENCHMARK(BM_FrameCopy);
