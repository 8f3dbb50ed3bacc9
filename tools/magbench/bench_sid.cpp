// The SID player's speed: whole refill buffers of our stand-in tune (three voices,
// low-pass filter on, as in the intro), and raw 6502 instruction throughput.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "sid/sid_driver.h"

namespace {

std::vector<uint8_t> stand_in_tune() {
  std::ifstream f(MAG_SOURCE_DIR "/assets/tunes/standin.sid", std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

}  // namespace

// realtime_x: seconds of audio rendered per second of CPU time (8 play calls and
// 7,056 samples per iteration, as one refill).
static void BM_SidRender(benchmark::State& state) {
  const auto tune = stand_in_tune();
  if (tune.empty()) {
    state.SkipWithError("assets/tunes/standin.sid not found");
    return;
  }
  auto st = std::make_unique<SidPlayerState>();
  sid_prepare_tune(*st, tune.data(), uint32_t(tune.size()), 0);
  std::vector<int16_t> buffer(sid_buffer_samples);
  for (auto _ : state) {
    sid_render_buffer(*st, buffer.data());
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  const double audio_seconds = double(state.iterations()) * sid_buffer_samples / sid_sample_rate;
  state.counters["realtime_x"] = benchmark::Counter(audio_seconds, benchmark::Counter::kIsRate);
  state.SetItemsProcessed(int64_t(state.iterations()) * sid_buffer_samples);
}
BENCHMARK(BM_SidRender);

// A loop of loads, adds, indexed stores, shifts, compares and branches.
static void BM_CpuSteps(benchmark::State& state) {
  auto st = std::make_unique<SidPlayerState>();
  sid_reset(*st, sid_sample_rate);
  const uint8_t program[] = {
      0xB5, 0x20,        // loop: LDA $20,X
      0x69, 0x03,        //       ADC #$03
      0x9D, 0x00, 0x03,  //       STA $0300,X
      0x4A,              //       LSR A
      0x51, 0x40,        //       EOR ($40),Y
      0xC8,              //       INY
      0xE8,              //       INX
      0xD0, 0xF2,        //       BNE loop
      0xE6, 0x21,        //       INC $21
      0x4C, 0x00, 0x10,  //       JMP loop
  };
  std::copy(std::begin(program), std::end(program), st->memory + 0x1000);
  st->cpu.pc = 0x1000;
  constexpr int steps = 10000;
  for (auto _ : state) {
    for (int i = 0; i < steps; ++i) cpu_step(*st);
    benchmark::DoNotOptimize(st->cpu.a);
  }
  state.counters["instructions_per_s"] = benchmark::Counter(double(state.iterations()) * steps, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CpuSteps);
