// XM rendering speed: seconds of music rendered per second (x_realtime) for
// modules of 8, 16 and 32 busy channels, through xm_fill_block as the magazine plays.
// When libxmp and libopenmpt were found at configure time, the same bytes are
// rendered by each of them at comparable settings (44,100 Hz stereo, linear
// interpolation), so the ratios stand in one run.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/xm/bench_songs.h"
#include "xm/xm_mixer.h"
#include "xm/xm_player.h"

#if MAG_HAVE_LIBXMP
#include <xmp.h>
#endif
#if MAG_HAVE_LIBOPENMPT
#include <libopenmpt/libopenmpt.hpp>
#endif

namespace {

constexpr int seconds_per_iteration = 2;
constexpr int frames_per_iteration = seconds_per_iteration * 44100;

const std::vector<uint8_t>& module_bytes(int channels) {
  static std::vector<uint8_t> bytes[33];
  if (bytes[channels].empty()) bytes[channels] = xmw::write(xmw::bench_song(channels));
  return bytes[channels];
}

void report(benchmark::State& state) {
  state.counters["x_realtime"] =
      benchmark::Counter(double(state.iterations()) * seconds_per_iteration, benchmark::Counter::kIsRate);
}

void BM_XmRender(benchmark::State& state, int channels) {
  const std::vector<uint8_t>& bytes = module_bytes(channels);
  XmModule* module = xm_load_from_memory(bytes.data(), bytes.size());
  if (!module) {
    state.SkipWithError("module did not load");
    return;
  }
  auto renderer = std::make_unique<XmRenderer>();
  xm_renderer_start(*renderer, *module);
  int blocks = (frames_per_iteration + xm_block_frames - 1) / xm_block_frames;
  for (auto _ : state) {
    for (int i = 0; i < blocks; ++i) xm_fill_block(*renderer);
    benchmark::DoNotOptimize(renderer->ring[123]);
  }
  report(state);
  xm_renderer_release(*renderer);
  xm_release(module);
}

#if MAG_HAVE_LIBXMP
void BM_LibxmpRender(benchmark::State& state, int channels) {
  const std::vector<uint8_t>& bytes = module_bytes(channels);
  xmp_context ctx = xmp_create_context();
  if (xmp_load_module_from_memory(ctx, bytes.data(), long(bytes.size())) != 0) {
    state.SkipWithError("libxmp did not load the module");
    xmp_free_context(ctx);
    return;
  }
  xmp_start_player(ctx, 44100, 0);
  xmp_set_player(ctx, XMP_PLAYER_INTERP, XMP_INTERP_LINEAR);
  std::vector<int16_t> buffer(size_t(xm_block_frames) * 2);
  int blocks = (frames_per_iteration + xm_block_frames - 1) / xm_block_frames;
  for (auto _ : state) {
    for (int i = 0; i < blocks; ++i)
      xmp_play_buffer(ctx, buffer.data(), int(buffer.size() * sizeof(int16_t)), 0);
    benchmark::DoNotOptimize(buffer[123]);
  }
  report(state);
  xmp_end_player(ctx);
  xmp_release_module(ctx);
  xmp_free_context(ctx);
}
#endif

#if MAG_HAVE_LIBOPENMPT
void BM_OpenmptRender(benchmark::State& state, int channels) {
  const std::vector<uint8_t>& bytes = module_bytes(channels);
  openmpt::module module(bytes);
  module.set_repeat_count(-1);
  module.set_render_param(openmpt::module::RENDER_INTERPOLATIONFILTER_LENGTH, 2);  // linear
  std::vector<int16_t> buffer(size_t(xm_block_frames) * 2);
  int blocks = (frames_per_iteration + xm_block_frames - 1) / xm_block_frames;
  for (auto _ : state) {
    for (int i = 0; i < blocks; ++i) module.read_interleaved_stereo(44100, size_t(xm_block_frames), buffer.data());
    benchmark::DoNotOptimize(buffer[123]);
  }
  report(state);
}
#endif

int register_all() {
  for (int channels : {8, 16, 32}) {
    std::string name = "/ch" + std::to_string(channels);
    benchmark::RegisterBenchmark(("BM_XmRender" + name).c_str(), BM_XmRender, channels)->UseRealTime();
#if MAG_HAVE_LIBXMP
    benchmark::RegisterBenchmark(("BM_LibxmpRender" + name).c_str(), BM_LibxmpRender, channels)->UseRealTime();
#endif
#if MAG_HAVE_LIBOPENMPT
    benchmark::RegisterBenchmark(("BM_OpenmptRender" + name).c_str(), BM_OpenmptRender, channels)->UseRealTime();
#endif
  }
  return 0;
}
const int registered = register_all();

}  // namespace
